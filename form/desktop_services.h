#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// What the program asks of the desktop beyond its own window: the clipboard, starting
// programs and finding the browser.
class DesktopServices {
public:
    virtual ~DesktopServices() = default;

    // The folder that holds the program file, as the system names it: bytes, since a folder's
    // name need not be valid text. Empty, with the system's reason in `error`, when unknown.
    virtual QByteArray programFolder(QString& error) const = 0;

    virtual void clearClipboard() = 0;
    // Line breaks come as CR LF and go on the clipboard as the platform writes them.
    virtual void setClipboardText(const QString& text) = 0;

    // Starts a program without waiting for it; false when it cannot be started.
    virtual bool startProgram(const QString& program, const QStringList& arguments) = 0;

    // The program the desktop associates with the type of an existing file, if any.
    virtual std::optional<QString> programForFile(const QString& fileName) = 0;
    // Starts that program with the parameter; false when it cannot be started.
    virtual bool startProgramWith(const QString& program, const QString& parameter) = 0;
};
