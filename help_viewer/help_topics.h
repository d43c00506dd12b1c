#pragma once

#include <QString>
#include <QTextBlock>

class QTextDocument;

// Each numbered topic of the help file begins at an anchor named after its number, so that a
// topic can be opened directly (kevra.hlp#topic210).
QString topicAnchor(int topic);

// The block that holds the named anchor; an invalid block when the document has none.
QTextBlock findAnchor(const QTextDocument& document, const QString& name);
