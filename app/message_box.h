#pragma once

class QString;
class QWidget;

// The modal message box for a classic style code (see MessageBoxStyle): its buttons, icon and
// default button. A Yes/No box can only be closed by one of its two buttons.
int showMessageBox(QWidget* parent, const QString& message, int style, const QString& title);

// The modal one-line input dialog. Cancel gives the empty text.
QString showInputBox(QWidget* parent, const QString& prompt, const QString& title,
                     const QString& defaultText);
