#pragma once

#include "desktop_services.h"

// The desktop as Qt provides it, with GIO's file associations (the Windows shell on Windows).
//
// programForFile() names the program in the form startProgramWith() takes back: on Windows its full
// path; elsewhere the desktop file id of the application (such as "firefox-esr.desktop"), or its
// executable when the application has no desktop file.
class QtDesktopServices : public DesktopServices {
public:
    QByteArray programFolder(QString& error) const override;
    void clearClipboard() override;
    void setClipboardText(const QString& text) override;
    bool startProgram(const QString& program, const QStringList& arguments) override;
    std::optional<QString> programForFile(const QString& fileName) override;
    bool startProgramWith(const QString& program, const QString& parameter) override;
};
