#pragma once

class QPlainTextEdit;

// Word wrap looks ahead from every line to the next break opportunity. In a paragraph with
// none, such as base64 or minified JSON, that is the paragraph's end, so laying it out takes
// time in the square of its length: 100,000 characters took 2.4 s, a million over a minute.
// Such a paragraph is broken anywhere by word wrap too, so breaking anywhere shows it the same.
// Paragraphs up to this length (five items' texts) keep word wrap: the worst lays out in about
// 25 ms.
constexpr int LongestWordWrapped = 10000;

// Keeps the editor's word wrap, except while one of its paragraphs is far longer than an item's
// text: then lines break anywhere, which lays such a paragraph out in linear time.
void wrapLongParagraphsAnywhere(QPlainTextEdit& editor);
