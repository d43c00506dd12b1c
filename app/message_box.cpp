#include "message_box.h"

#include "message_box_style.h"

#include <QCloseEvent>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace {

class StyledMessageBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;
    bool yesNo = false;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (yesNo && event->key() == Qt::Key_Escape)
            return;
        QMessageBox::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent* event) override {
        if (yesNo) {
            event->ignore();
            return;
        }
        QMessageBox::closeEvent(event);
    }
};

// Selects the proposal as QInputDialog does, but from its end back to its start, so that a name
// padded with blanks shows its letters rather than the blanks.
class NameDialog : public QInputDialog {
public:
    using QInputDialog::QInputDialog;

    void setVisible(bool visible) override {
        QInputDialog::setVisible(visible);
        if (auto* line = findChild<QLineEdit*>(); visible && line)
            line->setSelection(int(line->text().size()), -int(line->text().size()));
    }
};

// Messages keep their line breaks as carriage return and line feed; a label wants just one.
QString displayed(const QString& text) {
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return shown;
}

} // namespace

int showMessageBox(QWidget* parent, const QString& message, int style, const QString& title) {
    using namespace MessageBoxStyle;
    StyledMessageBox box(parent);
    box.setWindowTitle(title);
    box.setTextFormat(Qt::PlainText);
    box.setText(displayed(message));
    if (hasStopIcon(style))
        box.setIcon(QMessageBox::Critical);
    else if (hasExclamationIcon(style))
        box.setIcon(QMessageBox::Warning);
    box.yesNo = hasYesNo(style);
    if (box.yesNo) {
        box.setWindowFlag(Qt::WindowCloseButtonHint, false);
        QPushButton* yes = box.addButton(QMessageBox::Yes);
        QPushButton* no = box.addButton(QMessageBox::No);
        box.setDefaultButton(defaultsToSecond(style) ? no : yes);
        box.exec();
        return box.clickedButton() == yes ? MessageBoxResult::Yes : MessageBoxResult::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    box.exec();
    return MessageBoxResult::Ok;
}

QString showInputBox(QWidget* parent, const QString& prompt, const QString& title,
                     const QString& defaultText) {
    NameDialog dialog(parent);
    dialog.setWindowTitle(title);
    dialog.setLabelText(displayed(prompt));
    dialog.setTextValue(defaultText);
    return dialog.exec() == QDialog::Accepted ? dialog.textValue() : QString();
}
