// Build-time tool: renders a Markdown help document to PDF.
// Usage: corvane-docgen INPUT.md OUTPUT.pdf "Title"
#include <QColor>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

#include <cstdio>

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: corvane-docgen INPUT.md OUTPUT.pdf [TITLE]\n");
        return 2;
    }
    QFile in(args[1]);
    if (!in.open(QIODevice::ReadOnly | QIODevice::Text)) {
        std::fprintf(stderr, "corvane-docgen: cannot read %s\n", qPrintable(args[1]));
        return 1;
    }
    const QString markdown = QString::fromUtf8(in.readAll());

    QPdfWriter writer(args[2]);
    writer.setTitle(args.size() > 3 ? args[3] : QString());
    writer.setCreator(QStringLiteral("Corvane"));
    writer.setResolution(300);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(18, 18, 18, 18), QPageLayout::Millimeter));

    // Chinese and Latin text in one face where the system has one.
    QFont body;
    for (const char* family : {"Noto Sans CJK SC", "Noto Sans", "DejaVu Sans"}) {
        if (QFontDatabase::hasFamily(QLatin1String(family))) {
            body = QFont(QLatin1String(family));
            break;
        }
    }
    body.setPointSizeF(10.5);

    QTextDocument doc;
    doc.setDefaultFont(body);
    doc.setDocumentMargin(0);
    doc.setMarkdown(markdown, QTextDocument::MarkdownDialectGitHub);

    // Light, padded tables instead of the default heavy grid.
    for (QTextFrame* frame : doc.rootFrame()->childFrames()) {
        auto* table = qobject_cast<QTextTable*>(frame);
        if (!table)
            continue;
        QTextTableFormat format = table->format();
        format.setBorder(1);
        format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
        format.setBorderBrush(QColor(0xb4, 0xba, 0xc3));
        format.setBorderCollapse(true);
        format.setCellPadding(5);
        format.setCellSpacing(0);
        format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
        table->setFormat(format);
        for (int c = 0; c < table->columns(); ++c) {
            QTextTableCell cell = table->cellAt(0, c);
            QTextCharFormat head = cell.format();
            head.setBackground(QColor(0xee, 0xf0, 0xf2));
            cell.setFormat(head);
        }
    }
    doc.print(&writer);
    if (!QFile::exists(args[2])) {
        std::fprintf(stderr, "corvane-docgen: %s was not written\n", qPrintable(args[2]));
        return 1;
    }
    return 0;
}
