#include "help_topics.h"

#include <QTextDocument>

QString topicAnchor(int topic) {
    return QStringLiteral("topic") + QString::number(topic);
}

QTextBlock findAnchor(const QTextDocument& document, const QString& name) {
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            if (fragment.fragment().charFormat().anchorNames().contains(name))
                return block;
        }
    }
    return {};
}
