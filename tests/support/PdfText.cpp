#include "support/PdfText.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

QHash<QString, QRectF> pdfWords(const QString& path, int page) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (tool.isEmpty())
        return {};
    QProcess p;
    const QString n = QString::number(page);
    p.start(tool,
            {QStringLiteral("-bbox"), QStringLiteral("-f"), n, QStringLiteral("-l"), n, path, QStringLiteral("-")});
    p.waitForFinished();
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    QHash<QString, QRectF> words;
    const QRegularExpression pageSize(QStringLiteral(R"re(<page width="([\d.]+)" height="([\d.]+)")re"));
    if (const auto m = pageSize.match(html); m.hasMatch())
        words.insert(QString(), QRectF(0, 0, m.captured(1).toDouble(), m.captured(2).toDouble()));
    const QRegularExpression word(
        QStringLiteral(R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        words.insert(m.captured(5), QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                                           QPointF(m.captured(3).toDouble(), m.captured(4).toDouble())));
    }
    return words;
}
