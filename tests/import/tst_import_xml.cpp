#include "XmlPull.h"
#include <QBuffer>
#include <QTest>
#include <QXmlStreamReader>

// The workbook's fast XML reader against Qt's: whatever it reads, it reads as Qt's does, and
// whatever Qt's refuses it refuses too (the import then reads the part again with Qt's).
class TestImportXml : public QObject {
    Q_OBJECT

    // What the sheet and shared-text readers see: elements, the attributes they ask for, the
    // texts of v and t, and whether the reader failed.
    static QString nameOf(const XmlPull &x) { return QString(x.name()); }
    static QString nameOf(const QXmlStreamReader &x) { return x.name().toString(); }
    static QString attributeOf(XmlPull &x, const char *name) { return x.attribute(QLatin1String(name)).toString(); }
    static QString attributeOf(QXmlStreamReader &x, const char *name) {
        return x.attributes().value(QLatin1String(name)).toString();
    }
    template <class Reader> static QStringList trace(Reader &x) {
        QStringList out;
        while (!x.atEnd()) {
            x.readNext();
            if (x.isStartElement()) {
                QString line = QLatin1Char('<') + nameOf(x);
                for (const char *a : {"r", "t", "s", "x:r"})
                    line += QStringLiteral(" %1=[%2]").arg(QLatin1String(a), attributeOf(x, a));
                out << line;
                if (x.name() == QLatin1String("v") || x.name() == QLatin1String("t"))
                    out << QStringLiteral("text[%1]").arg(x.readElementText());
            } else if (x.isEndElement()) {
                out << QStringLiteral("</") + nameOf(x);
            }
        }
        out << (x.hasError() ? QStringLiteral("failed") : QStringLiteral("read"));
        return out;
    }

    static void compare(const QByteArray &xml, bool fastReads) {
        QBuffer a, b;
        a.setData(xml);
        b.setData(xml);
        a.open(QIODevice::ReadOnly);
        b.open(QIODevice::ReadOnly);
        XmlPull fast(&a);
        QXmlStreamReader qt(&b);
        const QStringList mine = trace(fast), theirs = trace(qt);
        if (!fast.hasError()) {
            QCOMPARE(mine, theirs);
        } else {
            QVERIFY2(!fastReads, qPrintable(mine.join('\n')));
        }
    }

private Q_SLOTS:
    void againstQt_data() {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<bool>("fastReads"); // false: it may leave the part to Qt's reader
        const QByteArray cells = "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\"/><c><v>2.5</v></c></row>";
        QTest::newRow("sheet") << "<worksheet><sheetData>" + cells + "</sheetData></worksheet>" << true;
        QTest::newRow("declaration, mark, CR LF")
            << "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n<worksheet>" + cells +
                   "</worksheet>\r\n<!-- after -->\n"
            << true;
        QTest::newRow("prefixes") << QByteArray("<x:worksheet xmlns:x=\"urn:x\"><x:c r=\"A1\" x:r=\"B2\"><x:v>1</x:v>"
                                                "</x:c></x:worksheet>")
                                  << true;
        QTest::newRow("references") << QByteArray("<si><t>a&amp;b&lt;&gt;&quot;&apos;&#44032;&#xAC00;&#x1F600;&#13;"
                                                  "</t></si>")
                                    << true;
        QTest::newRow("CDATA, comment, instruction in a text")
            << QByteArray("<si><t>a<![CDATA[<b>&amp;\r\n]]>c<!-- x -->d<?pi x?>e</t></si>") << true;
        QTest::newRow("line ends and blanks")
            << QByteArray("<si><t>a\r\nb\rc\nd\te  </t><c r=\"a\tb\nc\r\nd\" t=\"&#9;x\"/></si>") << true;
        QTest::newRow("quotes and > in values") << QByteArray("<a><c r='A1' t='s&amp;\"' s=\">\"/></a>") << true;
        QTest::newRow("blanks inside tags") << QByteArray("<a ><c  r = \"A1\"\n t=\"s\" ><v >7</v\n></c ></a>") << true;
        QTest::newRow("Korean") << QByteArray("<si><t>애니콜 햅틱 ☎ 𝄞</t></si>") << true;
        QTest::newRow("empty texts") << QByteArray("<a><c><v/></c><c><v></v></c><t></t></a>") << true;
        QTest::newRow("crossed ends") << QByteArray("<a><b></a></b>") << false;
        QTest::newRow("cut") << QByteArray("<a><c><v>12") << false;
        QTest::newRow("cut in a tag") << QByteArray("<a><c r=\"A") << false;
        QTest::newRow("nothing") << QByteArray("") << false;
        QTest::newRow("unknown entity") << QByteArray("<si><t>&nbsp;</t></si>") << false;
        QTest::newRow("entity of a DTD") << QByteArray("<!DOCTYPE a [<!ENTITY e \"x\">]><a><t>&e;</t></a>") << false;
        QTest::newRow("element inside v") << QByteArray("<a><c><v>1<b/></v></c></a>") << false;
        QTest::newRow("character reference to a control") << QByteArray("<si><t>a&#1;b</t></si>") << false;
        QTest::newRow("raw control") << QByteArray("<si><t>a\x01z</t></si>") << false;
        QTest::newRow("two roots") << QByteArray("<a/><b/>") << false;
        QTest::newRow("text outside") << QByteArray("x<a/>") << false;
        QTest::newRow("attribute twice") << QByteArray("<a><c r=\"1\" r=\"2\"/></a>") << false;
        QTest::newRow("unquoted value") << QByteArray("<a><c r=1/></a>") << false;
        QTest::newRow("< in a value") << QByteArray("<a><c r=\"<\"/></a>") << false;
        QTest::newRow("]]> in a text") << QByteArray("<a><t>x]]>y</t></a>") << false;
        QTest::newRow("no UTF-8") << QByteArray("<a><t>\xC3\x28</t></a>") << false;
        QTest::newRow("Latin-1 declared")
            << QByteArray("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a><t>caf\xE9</t></a>") << false;
        QTest::newRow("declaration late") << QByteArray("<a/><?xml version=\"1.0\"?>") << false;
        const QString utf16 = QStringLiteral("<a><t>가</t></a>");
        QTest::newRow("UTF-16") << QByteArray("\xFF\xFE") +
                                       QByteArray(reinterpret_cast<const char *>(utf16.utf16()), utf16.size() * 2)
                                << false;
        // Many chunks: tags, references and multi-byte characters cut at every place, and a text
        // longer than a chunk.
        QByteArray big = "<sst>";
        for (int i = 0; i < 6000; ++i)
            big += "<si><t>" + QByteArray(i % 13, 'x') + "가&amp;&#x1F600;" + QByteArray::number(i) + "</t><c r=\"A" +
                   QByteArray::number(i) + "\" t=\"s\"/></si>";
        big += "<si><t>" + QByteArray(200000, 'y') + "</t></si></sst>";
        QTest::newRow("many chunks") << big << true;
        QTest::newRow("many chunks, cut") << big.left(big.size() - 40) << false;
    }
    void againstQt() {
        QFETCH(QByteArray, xml);
        QFETCH(bool, fastReads);
        compare(xml, fastReads);
    }
};

QTEST_MAIN(TestImportXml)
#include "tst_import_xml.moc"
