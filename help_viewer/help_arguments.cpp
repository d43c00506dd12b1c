#include "help_arguments.h"

#include <QCommandLineParser>

namespace {

constexpr QLatin1String Usage("Usage: cardisto-help [--topic N] [--near X,Y,W,H] FILE");

HelpArguments failed(const QString& reason) {
    return {QString(), std::nullopt, std::nullopt, reason + QStringLiteral("\n\n") + Usage};
}

std::optional<QRect> parseRect(const QString& text) {
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4)
        return std::nullopt;
    int numbers[4] = {};
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        numbers[i] = parts[i].trimmed().toInt(&ok);
        if (!ok)
            return std::nullopt;
    }
    const QRect rect(numbers[0], numbers[1], numbers[2], numbers[3]);
    return rect.isValid() ? std::optional(rect) : std::nullopt;
}

} // namespace

HelpArguments parseHelpArguments(const QStringList& arguments) {
    QCommandLineParser parser;
    const QCommandLineOption topicOption(
        QStringLiteral("topic"), QStringLiteral("The topic to open at."), QStringLiteral("N"));
    parser.addOption(topicOption);
    const QCommandLineOption nearOption(QStringLiteral("near"),
                                        QStringLiteral("The window to open beside."),
                                        QStringLiteral("X,Y,W,H"));
    parser.addOption(nearOption);
    if (!parser.parse(arguments))
        return failed(parser.errorText());

    const QStringList files = parser.positionalArguments();
    if (files.isEmpty())
        return failed(QStringLiteral("No help file was given."));
    if (files.size() > 1)
        return failed(QStringLiteral("Only one help file can be shown at a time."));

    HelpArguments result{files.first(), std::nullopt, std::nullopt, QString()};
    if (parser.isSet(topicOption)) {
        bool ok = false;
        const int topic = parser.value(topicOption).toInt(&ok);
        if (!ok || topic < 0)
            return failed(
                QStringLiteral("\"%1\" is not a topic number.").arg(parser.value(topicOption)));
        result.topic = topic;
    }
    if (parser.isSet(nearOption)) {
        result.near = parseRect(parser.value(nearOption));
        if (!result.near)
            return failed(
                QStringLiteral("\"%1\" is not a window's X,Y,W,H.").arg(parser.value(nearOption)));
    }
    return result;
}
