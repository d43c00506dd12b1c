#pragma once

#include "app/desktop_services.h"

// The desktop as Qt and GIO provide it.
class QtDesktopServices : public DesktopServices {
public:
    QString programFolder() const override;
    void clearClipboard() override;
    void setClipboardText(const QString& text) override;
    bool startProgram(const QString& program, const QStringList& arguments) override;
    std::optional<QString> findExecutable(const QString& fileName) override;
    bool shellExecute(const QString& program, const QString& parameter) override;
};
