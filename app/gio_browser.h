#pragma once

#include <QString>

#include <optional>

// The desktop's file associations as GIO sees them.
namespace GioBrowser {

// The application the desktop opens the existing file with: its desktop file id (such as
// "firefox-esr.desktop"), or, for an application that has none, its executable. Either form is
// what launch() takes.
std::optional<QString> defaultApplicationFor(const QString& filePath);

// Starts that application on the address without waiting for it; false when it cannot be
// started.
bool launch(const QString& application, const QString& address);

} // namespace GioBrowser
