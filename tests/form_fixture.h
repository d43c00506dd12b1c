#pragma once

#include "fake_form.h"
#include "item_files.h"

#include "form/mireloft_main.h"

#include <QDir>
#include <QTemporaryDir>

// A fresh program folder, made the current directory, with the procedures on a fake window.
struct FormFixture {
    QTemporaryDir dir;
    QString previousDir = QDir::currentPath();
    FakeView view;
    FakeDesktop desktop;
    MireloftMain form{view, desktop};

    FormFixture() {
        desktop.folder = dir.path();
        QDir::setCurrent(dir.path());
    }
    ~FormFixture() { QDir::setCurrent(previousDir); }

    QString path(const QString& name = QStringLiteral("zmr.lst")) const {
        return dir.filePath(name);
    }
    void writeItems(const QByteArray& bytes) { ItemFiles::write(path(), bytes); }
    QByteArray items() const { return ItemFiles::read(path()); }
    // Lists the items and selects the (first) entry of `tag`.
    void listAndSelect(const QByteArray& items, const QString& tag) {
        writeItems(items);
        form.DisplayTags();
        view.selected = int(view.items.indexOf(tag.leftJustified(60)));
    }
};
