#pragma once

#include <QByteArray>
#include <QString>

// The two tag comparisons on a record's raw tag bytes, so that a scan builds no string per
// record. Each gives the same answer as decoding the tag and comparing the texts.

// Equal to the stored tag exactly: all its characters, blanks and letter case counting.
class ExactTagMatch {
public:
    explicit ExactTagMatch(const QString& text);
    bool operator()(QByteArrayView tag) const;

private:
    QByteArray m_bytes;
    // A text that no stored tag decodes to (a wrong length, or a character outside the code
    // page, which would encode to the '?' of a different tag) matches nothing.
    bool m_possible = false;
};

// Equal once both are trimmed of blanks and upper-cased one character for one, each by its
// simple mapping, so that lengths never change. The text is compared as it would be stored.
class LooseTagMatch {
public:
    explicit LooseTagMatch(const QString& text);
    bool operator()(QByteArrayView tag) const;

private:
    QString m_upper;
};
