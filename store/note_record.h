#pragma once

#include <QString>
#include <QtGlobal>

// One item of zmr.lst. The text fields always hold exactly their field length: assigning a
// shorter text pads it with blanks, a longer one is cut.
struct NoteRecord {
    static constexpr int TagLength = 60;
    static constexpr int BodyLength = 2000;
    static constexpr int Size = TagLength + 2 + BodyLength; // bytes on disk

    QString Tag = QString(TagLength, QChar(0));
    qint16 Reserved = 0; // carried along untouched; nothing gives it a meaning
    QString Body = QString(BodyLength, QChar(0));

    void setTag(const QString& text) { Tag = fitted(text, TagLength); }
    // Returns how many characters, as stored, did not fit and were cut off.
    qsizetype setBody(const QString& text);

    QByteArray toBytes() const;
    static NoteRecord fromBytes(QByteArrayView bytes); // bytes.size() == Size

private:
    static QString fitted(const QString& text, int length);
};

// Blanks are spaces only: tabs and line breaks are text.
QString trimBlanks(const QString& text);
