#pragma once

#include <QRect>
#include <QString>

// The controls and dialogs of the main window as the procedures of MireloftMain see them. The
// Qt window implements it; tests replace it with a scripted fake.
class FormView {
public:
    virtual ~FormView() = default;

    virtual void setCaption(const QString& caption) = 0;

    // ML_Selector shows the form's TagListModel. The selected entry's tag as stored, or the empty
    // text when none is selected.
    virtual QString selectorText() const = 0;
    // Highlights the entry (none for -1) without picking it: the editor keeps its text.
    virtual void selectEntry(qsizetype entry) = 0;

    // ML_Editor. Line breaks are carriage return and line feed, as the item file stores them.
    virtual QString editorText() const = 0;
    virtual void setEditorText(const QString& text) = 0;

    // A modal message box; style is a sum of message-box flags (see MessageBoxStyle). Returns
    // the code of the button that closed it.
    virtual int messageBox(const QString& message, int style, const QString& title) = 0;
    // A modal one-line input dialog. Returns the empty text on Cancel.
    virtual QString inputBox(const QString& prompt, const QString& title,
                             const QString& defaultText) = 0;

    // The window's frame on the desktop, for windows that open beside it; empty when unknown.
    virtual QRect windowRect() const = 0;

    // Ends the program at once.
    virtual void quit() = 0;
};
