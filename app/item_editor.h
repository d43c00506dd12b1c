#pragma once

#include <QPlainTextEdit>

// ML_Editor. Its text has line breaks as carriage return and line feed, as the item file stores
// them. A carriage return or line feed without its partner, as other programs write them, is
// shown as an arrow, so that it can be seen and is stored back as the byte it was; an arrow
// that the user types or pastes is just a character.
class ItemEditor : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit ItemEditor(QWidget* parent = nullptr);

    QString text() const;
    void setText(const QString& text);

protected:
    // Pasted and dropped text as plain characters, never marked as a line break from the file.
    void insertFromMimeData(const QMimeData* source) override;
};
