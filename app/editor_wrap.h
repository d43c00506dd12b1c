#pragma once

class QPlainTextEdit;

// Keeps the editor's word wrap, except while one of its paragraphs is far longer than an item's
// text: then lines break anywhere, which lays such a paragraph out in linear time.
void wrapLongParagraphsAnywhere(QPlainTextEdit& editor);
