// The results list: columns from a layout, stored texts, sorting and its header,
// the label index, and column widths from the application profile.

#include "AppSettings.h"
#include "CSortHeaderCtrl.h"
#include "CSortListCtrl.h"

#include <algorithm>

#include <QSettings>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include "WindowTestSupport.h"
#include <vector>

using plovik::CSortListCtrl;
using plovik::RowData;

namespace {

QStringList Column(const CSortListCtrl& list, int nColumn)
{
    QStringList out;
    for (int i = 0; i < list.GetItemCount(); ++i)
        out << list.GetItemText(i, nColumn);
    return out;
}

QByteArray Widths(std::vector<std::int32_t> values)
{
    QByteArray out(static_cast<int>(values.size() * 4), '\0');
    for (std::size_t i = 0; i < values.size(); ++i)
        qToLittleEndian<std::int32_t>(values[i], reinterpret_cast<uchar*>(out.data()) + 4 * i);
    return out;
}

}  // namespace

class SortListTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_pConfig = std::make_unique<QTemporaryDir>();
        plovik_test::UseSettingsFolder(m_pConfig->path());
    }

    void headingsFromLayout_data()
    {
        QTest::addColumn<QString>("layout");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QList<int>>("widths");
        QTest::newRow("main window") << "Page,240;PR,40;In,30;Out,30;Depth,43;Status,45"
                                     << QStringList{"Page", "PR", "In", "Out", "Depth", "Status"}
                                     << QList<int>{240, 40, 30, 30, 43, 45};
        QTest::newRow("item without comma ends") << "A,10;B" << QStringList{"A"} << QList<int>{10};
        QTest::newRow("width without digits is 0") << "A,10;B,x" << QStringList{"A", "B"} << QList<int>{10, 0};
        QTest::newRow("no comma at all") << "Nothing" << QStringList{} << QList<int>{};
        QTest::newRow("names are not trimmed") << " A ,7" << QStringList{" A "} << QList<int>{7};
        QTest::newRow("huge width saturates") << "A,99999999999999" << QStringList{"A"} << QList<int>{32767};
    }

    void headingsFromLayout()
    {
        QFETCH(QString, layout);
        QFETCH(QStringList, names);
        QFETCH(QList<int>, widths);
        CSortListCtrl list;
        QVERIFY(list.SetHeadings(layout));
        QCOMPARE(list.GetColumnCount(), names.size());
        for (int i = 0; i < names.size(); ++i) {
            QCOMPARE(list.GetColumnName(i), names[i]);
            // The layout's widths are for a narrower font: they only grow, and never
            // below what the title and the arrow need.
            const int nWidth = list.header()->sectionSize(i);
            QVERIFY2(nWidth >= std::min(widths[i], 32767), qPrintable(names[i]));
            QVERIFY(nWidth <= 32767);
            QVERIFY(nWidth >= list.GetHeaderCtrl()->WidthForTitle(names[i]));
            QCOMPARE(list.model()->headerData(i, Qt::Horizontal, Qt::TextAlignmentRole).toInt() &
                         Qt::AlignHorizontal_Mask,
                     int(Qt::AlignLeft));
        }
    }

    void cellsAreStoredAndRefusedOutsideTheList()
    {
        CSortListCtrl list;
        list.SetHeadings("A,10;B,10");
        QCOMPARE(list.AddItem("x", "1"), 0);
        QCOMPARE(list.AddItem("y", "2"), 1);
        QCOMPARE(list.AddItem("only one"), -1);  // a row holds exactly column-count texts
        QVERIFY(list.SetItemText(1, 1, "20"));
        QCOMPARE(list.GetItemText(1, 1), QString("20"));
        QCOMPARE(list.model()->data(list.model()->index(1, 1)).toString(), QString("20"));
        QVERIFY(!list.SetItemText(-1, 1, "bad"));
        QVERIFY(!list.SetItemText(2, 0, "bad"));
        QVERIFY(!list.SetItemText(0, 2, "bad"));
        QCOMPARE(Column(list, 1), (QStringList{"1", "20"}));
        list.DeleteAllItems();
        QCOMPARE(list.GetItemCount(), 0);
        QCOMPARE(list.FindItem("x"), -1);
    }

    void comparisonKinds_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("ascending");
        QTest::newRow("numbers") << "9"
                                 << "10" << -1;
        QTest::newRow("equal numbers") << "007"
                                       << "7" << 0;
        QTest::newRow("empty is number 0") << ""
                                           << "3" << -1;
        QTest::newRow("number against text reads its digits") << "12"
                                                              << "-1" << 1;
        QTest::newRow("text decided by first") << "-1"
                                               << "12" << -1;
        QTest::newRow("PR texts compare as text") << "10.000"
                                                  << "9.000" << -1;
        QTest::newRow("dates month before day") << "05/03/2008"
                                                << "01/04/2008" << -1;
        QTest::newRow("dates by year first") << "31/12/2007"
                                             << "01/01/2008" << -1;
        QTest::newRow("equal dates") << "01/02/2003"
                                     << "01/02/2003" << 0;
        QTest::newRow("date against short text") << "01/02/2003"
                                                 << "x" << 1;
        QTest::newRow("huge numbers saturate") << "99999999999999999999"
                                               << "2147483647" << 0;
        QTest::newRow("case-sensitive text") << "abc"
                                             << "abc" << 0;
    }

    void comparisonKinds()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, ascending);
        CSortListCtrl list;
        list.SetHeadings("A,10");
        list.SortColumn(0, true);
        const RowData ra{a.toStdString()}, rb{b.toStdString()};
        QCOMPARE(CSortListCtrl::CompareItems(ra, rb, list), ascending);
        list.SortColumn(0, false);
        // Descending swaps the operands but keeps the kind of the first text.
        const int nDescending = CSortListCtrl::CompareItems(ra, rb, list);
        if (CSortListCtrl::IsNumber(a))
            QCOMPARE(nDescending, CSortListCtrl::CompareNumbers(b, a));
        else if (CSortListCtrl::IsDate(a))
            QCOMPARE(nDescending, CSortListCtrl::CompareDates(b, a));
        else
            QCOMPARE(nDescending, -ascending);
    }

    void isNumberAndIsDate()
    {
        QVERIFY(CSortListCtrl::IsNumber(""));
        QVERIFY(CSortListCtrl::IsNumber("0123"));
        QVERIFY(!CSortListCtrl::IsNumber("-1"));
        QVERIFY(!CSortListCtrl::IsNumber("1.5"));
        QVERIFY(CSortListCtrl::IsDate("01/02/2003"));
        QVERIFY(!CSortListCtrl::IsDate("01-02-2003"));
        QVERIFY(!CSortListCtrl::IsDate("01/02/20034"));
        QVERIFY(!CSortListCtrl::IsDate("0a/02/2003"));
    }

    void sortsByColumnAndKeepsNewRowsAtTheEnd()
    {
        CSortListCtrl list;
        list.SetHeadings("Page,100;PR,40;In,30");
        list.AddItem("c/", "0.150", "10");
        list.AddItem("a/", "10.000", "9");
        list.AddItem("b/", "9.000", "100");
        list.SortColumn(2, true);
        QCOMPARE(Column(list, 2), (QStringList{"9", "10", "100"}));
        list.SortColumn(1, true);
        QCOMPARE(Column(list, 1), (QStringList{"0.150", "10.000", "9.000"}));
        list.SortColumn(0, false);
        QCOMPARE(Column(list, 0), (QStringList{"c/", "b/", "a/"}));
        QCOMPARE(list.AddItem("0/", "-", "1"), 3);
        QCOMPARE(Column(list, 0), (QStringList{"c/", "b/", "a/", "0/"}));
        // The label index follows the rows.
        QCOMPARE(list.FindItem("A/"), 2);
        QCOMPARE(list.FindItem("0/"), 3);
        list.SortColumn(0, true);
        QCOMPARE(list.FindItem("a/"), 1);
        QCOMPARE(list.FindItem("C/"), 3);
    }

    void sortIsStable()
    {
        CSortListCtrl list;
        list.SetHeadings("Key,10;Id,10");
        const char* keys[] = {"2", "1", "2", "1", "2"};
        for (int i = 0; i < 5; ++i)
            list.AddItem(keys[i], QString::number(i));
        list.SortColumn(0, true);
        QCOMPARE(Column(list, 1), (QStringList{"1", "3", "0", "2", "4"}));
        list.SortColumn(0, false);
        QCOMPARE(Column(list, 1), (QStringList{"0", "2", "4", "1", "3"}));
    }

    void mixedColumnSortsSafely()
    {
        // Not a strict weak ordering: numbers, dates and texts mixed. The sort must
        // end with every row present exactly once.
        CSortListCtrl list;
        list.SetHeadings("Mixed,10");
        const QStringList texts{"12",  "-1",         "",    "01/02/2003", "abc", "7", "Zed", "-",
                                "0.5", "31/12/1999", "100", "x1",         "2",   "",  "-1"};
        for (int round = 0; round < 40; ++round)
            for (const QString& s : texts)
                list.AddItem(s);
        list.SortColumn(0, true);
        QStringList sorted = Column(list, 0);
        QStringList expected;
        for (int round = 0; round < 40; ++round)
            expected << texts;
        sorted.sort();
        expected.sort();
        QCOMPARE(sorted, expected);
        list.SortColumn(0, false);
        QCOMPARE(list.GetItemCount(), expected.size());
    }

    void headerClicksFollowTheProtocol()
    {
        CSortListCtrl list;
        list.SetHeadings("Page,100;In,30;Out,30");
        list.AddItem("a", "2", "1");
        list.AddItem("b", "1", "2");
        auto* pHeader = list.GetHeaderCtrl();
        QVERIFY(!pHeader->IsOwnerDrawn(1));
        list.OnColumnClick(1);
        QCOMPARE(list.GetSortColumn(), 1);
        QVERIFY(list.IsAscending());
        QCOMPARE(pHeader->SortColumn(), 1);
        QVERIFY(pHeader->IsAscending());
        QVERIFY(pHeader->IsOwnerDrawn(1));
        QCOMPARE(Column(list, 1), (QStringList{"1", "2"}));
        list.OnColumnClick(1);
        QVERIFY(!list.IsAscending());
        QVERIFY(!pHeader->IsAscending());
        QCOMPARE(Column(list, 1), (QStringList{"2", "1"}));
        list.OnColumnClick(2);
        QCOMPARE(list.GetSortColumn(), 2);
        QVERIFY(list.IsAscending());
        QCOMPARE(Column(list, 2), (QStringList{"1", "2"}));
        // Once sorted, a column stays owner-drawn.
        QVERIFY(pHeader->IsOwnerDrawn(1));
        QVERIFY(pHeader->IsOwnerDrawn(2));
        QVERIFY(!pHeader->IsOwnerDrawn(0));
    }

    void headerClickThroughTheMouse()
    {
        CSortListCtrl list;
        list.SetHeadings("Page,100;In,60");
        list.AddItem("a", "10");
        list.AddItem("b", "9");
        list.resize(300, 200);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        auto* pHeader = list.GetHeaderCtrl();
        const QImage unsorted = pHeader->grab().toImage();
        const QPoint inHeader(pHeader->sectionViewportPosition(1) + 20, pHeader->height() / 2);
        QTest::mouseClick(pHeader->viewport(), Qt::LeftButton, {}, inHeader);
        QCOMPARE(list.GetSortColumn(), 1);
        QCOMPARE(Column(list, 1), (QStringList{"9", "10"}));
        // The arrow is painted, and it points the other way after a second click.
        const QImage ascending = pHeader->grab().toImage();
        QVERIFY(ascending != unsorted);
        QTest::mouseClick(pHeader->viewport(), Qt::LeftButton, {}, inHeader);
        QVERIFY(!list.IsAscending());
        const QImage descending = pHeader->grab().toImage();
        QVERIFY(descending != ascending);
        // Only the sorted section changed: the first one looks as before.
        const int nFirstWidth = pHeader->sectionSize(0) - 2;
        QCOMPARE(descending.copy(0, 0, nFirstWidth, descending.height()),
                 unsorted.copy(0, 0, nFirstWidth, unsorted.height()));
    }

    void keyboardMenuOpensAtTheCurrentRow()
    {
        CSortListCtrl list;
        list.SetHeadings("Page,100;In,30");
        for (const char* p : {"a/", "b/", "c/"})
            list.AddItem(p, "1");
        list.resize(300, 200);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        QSignalSpy spy(&list, &CSortListCtrl::RightClicked);
        struct Press {
            int nRow;
            Qt::Key key;
            Qt::KeyboardModifiers modifiers;
        };
        // Row 0 too: it once got no menu at all.
        for (const Press& press :
             {Press{0, Qt::Key_Menu, {}}, Press{2, Qt::Key_F10, Qt::ShiftModifier}, Press{1, Qt::Key_Menu, {}}}) {
            list.setCurrentIndex(list.model()->index(press.nRow, 0));
            spy.clear();
            QTest::keyClick(&list, press.key, press.modifiers);
            QCOMPARE(spy.size(), 1);
            QCOMPARE(spy[0][0].toInt(), press.nRow);
            const QRect rowRect = list.visualRect(list.model()->index(press.nRow, 0));
            const QPoint at = list.viewport()->mapFromGlobal(spy[0][1].toPoint());
            QVERIFY2(rowRect.contains(at), qPrintable(QString::number(press.nRow)));
        }
        // The window system's own keyboard request goes the same way.
        list.setCurrentIndex(list.model()->index(0, 0));
        spy.clear();
        QContextMenuEvent request(QContextMenuEvent::Keyboard, QPoint(5, 5), list.mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(list.viewport(), &request);
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy[0][0].toInt(), 0);
    }

    void bytesOfAnAddressAreKeptAndFound()
    {
        CSortListCtrl list;
        list.SetHeadings("Page,100;PR,40");
        const std::string latin1 = "h/caf\xe9.html", utf8 = "h/caf\xc3\xa9/";
        QCOMPARE(list.AddItemBytes({latin1, "-"}), 0);
        QCOMPARE(list.AddItemBytes({utf8, "-"}), 1);
        QCOMPARE(list.GetItemText(0, 0), QString::fromUtf8("h/caf\xc3\xa9.html"));  // shown as Latin-1
        QCOMPARE(list.GetItemText(1, 0), QString::fromUtf8("h/caf\xc3\xa9/"));
        QCOMPARE(list.GetItemLabel(0), latin1);
        QCOMPARE(list.FindItem("H/CAF\xe9.HTML"), 0);
        QCOMPARE(list.FindItem(utf8), 1);
        QVERIFY(list.SetItemBytes(list.FindItem(latin1), 1, "0.297"));
        QCOMPARE(list.GetItemText(0, 1), QString("0.297"));
        // The whole address is the Page cell's tooltip; it elides in the middle.
        QCOMPARE(list.model()->data(list.model()->index(0, 0), Qt::ToolTipRole).toString(), list.GetItemText(0, 0));
        QVERIFY(!list.model()->data(list.model()->index(0, 1), Qt::ToolTipRole).isValid());
    }

    void columnWidthsFromTheProfile_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<bool>("applied");
        QTest::addColumn<QList<int>>("widths");
        const QList<int> layout;  // empty: the widths the layout gives
        QTest::newRow("six widths") << Widths({6, 100, 50, 20, 20, 20, 20}) << true
                                    << QList<int>{100, 50, 20, 20, 20, 20};
        QTest::newRow("count 5") << Widths({5, 1, 2, 3, 4, 5}) << false << layout;
        QTest::newRow("short value") << Widths({6, 100, 50, 20}) << false << layout;
        QTest::newRow("count only") << Widths({6}) << false << layout;
        QTest::newRow("three bytes") << QByteArray("\x06\0\0", 3) << false << layout;
        QTest::newRow("empty") << QByteArray() << false << layout;
        QTest::newRow("negative count") << Widths({-6, 1, 2}) << false << layout;
        QTest::newRow("negative width is 0")
            << Widths({6, -5, 50, 20, 20, 20, 20}) << true << QList<int>{0, 50, 20, 20, 20, 20};
    }

    void columnWidthsFromTheProfile()
    {
        QFETCH(QByteArray, value);
        QFETCH(bool, applied);
        QFETCH(QList<int>, widths);
        {
            auto pProfile = plovik::OpenProfile();
            pProfile->setValue("ListCtrls/1001", value);
            pProfile->sync();
            QCOMPARE(pProfile->status(), QSettings::NoError);
        }
        CSortListCtrl list;
        list.SetDlgCtrlID(1001);
        list.SetHeadings("Page,240;PR,40;In,30;Out,30;Depth,43;Status,45");
        QCOMPARE(list.LoadColumnWidths(), applied);
        CSortListCtrl fresh;
        fresh.SetHeadings("Page,240;PR,40;In,30;Out,30;Depth,43;Status,45");
        for (int i = 0; i < 6; ++i)
            QCOMPARE(list.header()->sectionSize(i), widths.isEmpty() ? fresh.header()->sectionSize(i) : widths[i]);
    }

    void missingProfileEntryChangesNothing()
    {
        CSortListCtrl list;
        list.SetDlgCtrlID(1001);
        list.SetHeadings("A,11;B,22");
        QVERIFY(!list.LoadColumnWidths());
        const int nA = list.header()->sectionSize(0), nB = list.header()->sectionSize(1);
        QVERIFY(nB >= 22);
        QCOMPARE(list.GetHeaderCtrl()->SerializeOut(), Widths({2, nA, nB}));
    }

private:
    std::unique_ptr<QTemporaryDir> m_pConfig;
};

QTEST_MAIN(SortListTest)
#include "tst_SortList.moc"
