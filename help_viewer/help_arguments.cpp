#include "help_arguments.h"

#include <QCommandLineParser>

namespace {

const QString Usage = QStringLiteral("Usage: cardisto-help [--topic N] FILE");

HelpArguments failed(const QString& reason) {
    return {QString(), std::nullopt, reason + QStringLiteral("\n\n") + Usage};
}

} // namespace

HelpArguments parseHelpArguments(const QStringList& arguments) {
    QCommandLineParser parser;
    const QCommandLineOption topicOption(
        QStringLiteral("topic"), QStringLiteral("The topic to open at."), QStringLiteral("N"));
    parser.addOption(topicOption);
    if (!parser.parse(arguments))
        return failed(parser.errorText());

    const QStringList files = parser.positionalArguments();
    if (files.isEmpty())
        return failed(QStringLiteral("No help file was given."));
    if (files.size() > 1)
        return failed(QStringLiteral("Only one help file can be shown at a time."));

    HelpArguments result{files.first(), std::nullopt, QString()};
    if (parser.isSet(topicOption)) {
        bool ok = false;
        const int topic = parser.value(topicOption).toInt(&ok);
        if (!ok || topic < 0)
            return failed(
                QStringLiteral("\"%1\" is not a topic number.").arg(parser.value(topicOption)));
        result.topic = topic;
    }
    return result;
}
