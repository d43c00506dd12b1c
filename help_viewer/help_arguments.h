#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// What the viewer is asked to show: cardisto-help [--topic N] FILE
struct HelpArguments {
    QString file;
    std::optional<int> topic;
    // Set when the command line cannot be understood; says why, for the user.
    QString error;
};

// The arguments as QCoreApplication::arguments() gives them, program name first.
HelpArguments parseHelpArguments(const QStringList& arguments);
