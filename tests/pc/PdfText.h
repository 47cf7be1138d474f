#pragma once
#include <QString>
#include <QStringList>
#include <vector>

// What poppler's tools read from a PDF file: "" when the tool failed.
QString PopplerOutput(const QString& tool, const QStringList& arguments);
// pdftotext -layout.
QString PdfText(const QString& pdf);
// The text's lines with their outer blanks removed, empty ones left out.
QStringList TextLines(const QString& text);
// Each pattern matches somewhere after the match of the one before.
void ExpectInOrder(const QString& text, const QStringList& patterns);

struct Word {
    QString text;
    int page;
    double xMin, yMin, xMax, yMax;
};

// The words of a PDF with their boxes in points, from pdftotext -bbox.
std::vector<Word> Words(const QString& pdf);
// The first word of this text; a failure of the test when there is none.
Word Find(const std::vector<Word>& words, const QString& text);
