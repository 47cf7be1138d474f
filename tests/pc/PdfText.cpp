#include "tests/pc/PdfText.h"

#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

QString PopplerOutput(const QString& tool, const QStringList& arguments) {
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(-1) || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString PdfText(const QString& pdf) {
    return PopplerOutput(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
}

QStringList TextLines(const QString& text) {
    QStringList lines;
    for (const QString& line : text.split(QLatin1Char('\n')))
        if (!line.trimmed().isEmpty())
            lines << line.trimmed();
    return lines;
}

void ExpectInOrder(const QString& text, const QStringList& patterns) {
    qsizetype from = 0;
    for (const QString& pattern : patterns) {
        const QRegularExpressionMatch match = QRegularExpression(pattern).match(text, from);
        ASSERT_TRUE(match.hasMatch())
            << "no \"" << pattern.toStdString() << "\" after offset " << from << " in:\n"
            << text.toStdString();
        from = match.capturedEnd();
    }
}

// The words of a PDF with their boxes in points, from pdftotext -bbox.
std::vector<Word> Words(const QString& pdf) {
    const QString html =
        PopplerOutput(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    static const QRegularExpression word(QStringLiteral(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    std::vector<Word> words;
    int page = 0;
    for (const QString& line : html.split(QLatin1Char('\n'))) {
        if (line.contains(QLatin1String("<page ")))
            ++page;
        if (const QRegularExpressionMatch m = word.match(line); m.hasMatch())
            words.push_back({m.captured(5), page, m.captured(1).toDouble(), m.captured(2).toDouble(),
                             m.captured(3).toDouble(), m.captured(4).toDouble()});
    }
    return words;
}

Word Find(const std::vector<Word>& words, const QString& text) {
    for (const Word& word : words)
        if (word.text == text)
            return word;
    ADD_FAILURE() << "no word " << text.toStdString();
    return {};
}
