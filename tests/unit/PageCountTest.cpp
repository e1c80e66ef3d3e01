#include "platform/PageCount.h"
#include "support/SampleDocuments.h"

#include <QStringList>
#include <gtest/gtest.h>

TEST(PageCountTextAndPostScript, SixtySixLinesOrAFormFeedMakeAPageAndPostScriptSaysItsOwn) {
    EXPECT_EQ(PageCount::textPages(""), 0);
    EXPECT_EQ(PageCount::textPages("no line end"), 1);
    EXPECT_EQ(PageCount::textPages(sampleText(66)), 1);
    EXPECT_EQ(PageCount::textPages(sampleText(67)), 2);
    EXPECT_EQ(PageCount::textPages(sampleText(132)), 2) << "no empty page after a full one";
    EXPECT_EQ(PageCount::textPages(sampleText(67).replace("\n", "\r\n")), 2)
        << "CR LF is one line end";
    EXPECT_EQ(PageCount::textPages("\n\n"), 1) << "blank lines are printed";

    EXPECT_EQ(PageCount::textPages("one\ftwo\fthree"), 3);
    EXPECT_EQ(PageCount::textPages("one\ftwo"), 2) << "text after the form feed on the same line";
    EXPECT_EQ(PageCount::textPages("one\n\f"), 1) << "a final form feed opens no page";
    EXPECT_EQ(PageCount::textPages(sampleText(66) + "\f" + sampleText(1)), 2)
        << "a form feed right after a full page ends no second page";
    EXPECT_EQ(PageCount::textPages("one\n\f\f\ftwo\n"), 2) << "empty pages are not printed";
    EXPECT_EQ(PageCount::textPages(sampleText(10) + "\f" + sampleText(70)), 3)
        << "the line count starts again after a form feed";

    // PostScript: the page comments of the job itself.
    EXPECT_EQ(PageCount::postScriptPages("%!PS-Adobe-3.0\n%%Pages: 4\n%%EndComments\n"
                                         "%%Page: 1 1\nshowpage\n%%EOF\n"),
              4)
        << "the declared count wins over the page comments present";
    EXPECT_EQ(
        PageCount::postScriptPages("%!PS-Adobe-3.0\n%%Pages: (atend)\n%%EndComments\n"
                                   "%%Page: 1 1\n%%Page: 2 2\n%%Trailer\n%%Pages: 3\n%%EOF\n"),
        3)
        << "(atend) defers to the trailer";
    EXPECT_EQ(PageCount::postScriptPages("%!PS-Adobe-3.0\n%%Pages: (atend)\n%%Page: 1 1\n"
                                         "%%Page: 2 2\n%%PageOrder: Ascend\n"),
              2)
        << "without a number the page comments are counted";
    EXPECT_EQ(PageCount::postScriptPages("%!PS-Adobe-3.0\r%%Page: 1 1\r%%Page: 2 2\r"), 2)
        << "lines ending in CR alone";
    EXPECT_EQ(PageCount::postScriptPages("%!PS-Adobe-3.0\n%%Pages: 2\n%%Page: 1 1\n"
                                         "%%BeginDocument: figure.eps\n%!PS-Adobe-3.0 EPSF-3.0\n"
                                         "%%Pages: 9\n%%Page: 1 1\n%%EndDocument\n%%Page: 2 2\n"),
              2)
        << "an embedded document's comments are its own";
    EXPECT_EQ(PageCount::postScriptPages("%!PS\nnewpath showpage\n"), 0);
}

TEST(PageCountDocument, CountsReadablePdfsAndPicksTheRuleByTypeOrByContentWhenTheTypeSaysNothing) {
    const QByteArray pdf = samplePdf(5);
    const QByteArray text = sampleText(70);
    const QByteArray postScript = "%!PS-Adobe-3.0\n%%Pages: 6\n";
    EXPECT_EQ(PageCount::documentPages(pdf, "application/pdf"), 5);
    EXPECT_EQ(PageCount::documentPages(text, "text/plain"), 2);
    EXPECT_EQ(PageCount::documentPages(text, "text/plain;charset=utf-8"), 2);
    EXPECT_EQ(PageCount::documentPages(postScript, "application/postscript"), 6);

    for (const QString& type :
         QStringList{"application/octet-stream", "application/vnd.cups-raw", QString()}) {
        EXPECT_EQ(PageCount::documentPages(pdf, type), 5) << type.toStdString();
        EXPECT_EQ(PageCount::documentPages(text, type), 2) << type.toStdString();
        EXPECT_EQ(PageCount::documentPages(postScript, type), 6) << type.toStdString();
        EXPECT_EQ(PageCount::documentPages("\x1b%-12345X@PJL ENTER LANGUAGE=POSTSCRIPT\r\n"
                                           "%!PS-Adobe-3.0\n%%Pages: 2\n",
                                           type),
                  2)
            << "PostScript behind a PJL header, " << type.toStdString();
        EXPECT_EQ(PageCount::documentPages("\x1b"
                                           "E\x1b&l0O page one\f page two\f",
                                           type),
                  0)
            << "printer language, not text: " << type.toStdString();
    }
    EXPECT_EQ(PageCount::documentPages(text, "image/jpeg"), 0) << "a type no rule reads";
    EXPECT_EQ(PageCount::documentPages("#PDF-BANNER\n", "application/vnd.cups-pdf-banner"), 1);

    // Only a readable PDF has pages.
    EXPECT_EQ(PageCount::pdfPages(samplePdf(5)), 5);
    EXPECT_EQ(PageCount::pdfPages(samplePdf(1)), 1);
    EXPECT_EQ(PageCount::pdfPages(""), 0);
    EXPECT_EQ(PageCount::pdfPages("%PDF-1.4\nthis is no PDF at all\n"), 0);
}
