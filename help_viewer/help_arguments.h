#pragma once

#include <QRect>
#include <QString>
#include <QStringList>

#include <optional>

// What the viewer is asked to show: cardisto-help [--topic N] [--near X,Y,W,H] FILE
struct HelpArguments {
    QString file;
    std::optional<int> topic;
    // The window to open beside: the program's, whose top-left corner the viewer would hide.
    std::optional<QRect> near;
    // Set when the command line cannot be understood; says why, for the user.
    QString error;
};

// The arguments as QCoreApplication::arguments() gives them, program name first.
HelpArguments parseHelpArguments(const QStringList& arguments);
