#include "AppPaths.h"
#include "AppState.h"
#include "EnvFixture.h"
#include "FloatMsg.h"
#include "Messages.h"
#include "ModalHelp.h"
#include "PopupMenu.h"
#include "QtKorean.h"
#include "WidgetPrompter.h"
#include "modFrmCtrl.h"
#include <QAbstractButton>
#include <QApplication>
#include <QCalendarWidget>
#include <QFile>
#include <QFontDialog>
#include <QFontInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

class TestHelpers : public EnvFixture {
    Q_OBJECT
    void setUp() override { ResetFloatMsg(); }

private Q_SLOTS:
    void popupMenuParsing() {
        const PopupMenuModel m = parsePopupMenu({"01복사", "X", "02[v]붙여넣기", "-", "03삭제"});
        QCOMPARE(m.size(), 4);
        QCOMPARE(m[0].command, 1);
        QCOMPARE(m[0].caption, QString("복사"));
        QVERIFY(m[0].enabled && !m[0].checked);
        QCOMPARE(m[1].command, 2);
        QCOMPARE(m[1].caption, QString("붙여넣기"));
        QVERIFY(!m[1].enabled && m[1].checked);
        QVERIFY(m[2].separator);
        QCOMPARE(m[3].command, 3);
        QVERIFY(m[3].enabled); // the grey flag covers one item only
        setPopupMenuChooser([](const PopupMenuModel &menu) { return menu[1].command; });
        QCOMPARE(ShowPopupMenu(nullptr, {"01복사", "X", "02[v]붙여넣기", "-", "03삭제"}), 2);
        setPopupMenuChooser({});
    }

    void askWithNoDefaultAnswersNoOnEnter() {
        WidgetPrompter real;
        Prompter::install(&real);
        int seen = 0;
        onNextModalOf<QMessageBox>(this, [&](QMessageBox *box) {
            QCOMPARE(box->windowTitle(), QString("질문"));
            seen = 1;
            QTest::keyClick(box, Qt::Key_Return);
        });
        QCOMPARE(MsgAsk("지울까요?", "질문", false), vbNo);
        QCOMPARE(seen, 1);
        Prompter::install(&env->prompter);
    }

    // The font dialog left unchanged gives the font back, also one whose family this PC lacks.
    void fontDialogKeepsAnUnchangedFont_data() {
        QTest::addColumn<QString>("family");
        QTest::newRow("installed") << QFontInfo(QApplication::font()).family();
        QTest::newRow("missing") << QString("없는글꼴체");
    }
    void fontDialogKeepsAnUnchangedFont() {
        QFETCH(QString, family);
        QFont initial(family);
        initial.setPointSize(13);
        initial.setBold(true);
        initial.setUnderline(true);
        WidgetPrompter real;
        Prompter::install(&real);
        bool shownBold = false;
        onNextModalOf<QFontDialog>(this, [&](QFontDialog *d) {
            shownBold = d->currentFont().bold();
            d->accept();
        });
        const std::optional<QFont> f = prompter().font(initial);
        Prompter::install(&env->prompter);
        QVERIFY(f);
        QVERIFY(shownBold);
        QCOMPARE(f->family(), family);
        QVERIFY(f->bold());
        QVERIFY(f->underline());
        QCOMPARE(f->pointSize(), 13);
    }

    // On a machine set to English: Qt's buttons and every date name still read Korean.
    void koreanWhateverTheMachineLocale() {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QVERIFY(InstallQtKorean());
        QCOMPARE(QLocale().dayName(1, QLocale::ShortFormat), QString("월"));
        QCOMPARE(QCalendarWidget().locale().monthName(3), QString("3월"));
        WidgetPrompter real;
        Prompter::install(&real);
        QStringList buttons;
        QTimer::singleShot(0, [&] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                for (QAbstractButton *b : box->buttons())
                    buttons << b->text().remove('&');
                box->button(QMessageBox::No)->click();
            }
        });
        MsgAsk("지울까요?", "질문", true);
        Prompter::install(&env->prompter);
        buttons.sort();
        QCOMPARE(buttons, (QStringList{"아니요(N)", "예(Y)"}));
    }

    void boxesUseTitleAndIcons() {
        MsgInfo("a");
        MsgWarn("b", "제목");
        ShowErrMsg("저장 실패", 3261, "잠김");
        const auto &b = env->prompter.boxes();
        QCOMPARE(b[0].title, AppState::title());
        QCOMPARE(b[0].icon, Prompter::Icon::Information);
        QCOMPARE(b[1].title, QString("제목"));
        QCOMPARE(b[1].icon, Prompter::Icon::Warning);
        QCOMPARE(b[2].title, QString("오류"));
        QCOMPARE(b[2].text, QString("저장 실패\r\n오류번호 : 3261\r\n오류내용 : 잠김"));
    }

    void checkRequired() {
        QWidget w;
        auto *a = new QLineEdit(&w);
        auto *b = new QLineEdit(&w);
        w.show();
        QApplication::setActiveWindow(&w);
        b->setFocus();
        a->setText("0");
        QVERIFY(!CheckRequired(a, "수량", false));
        QVERIFY(CheckRequired(a, "수량", true));
        QCOMPARE(env->prompter.boxes().last().title, QString("필수입력"));
        QCOMPARE(env->prompter.texts().last(), QString("[수량]은(는) 필수 입력 사항입니다."));
        a->clear();
        QVERIFY(CheckRequired(a, "", false));
        QCOMPARE(env->prompter.texts().last(), QString("필수 입력사항을 입력하지 않았습니다."));
        QCOMPARE(QApplication::focusWidget(), a);
        a->setEnabled(false);
        b->setFocus();
        QVERIFY(CheckRequired(a));
        QCOMPARE(QApplication::focusWidget(), b); // a disabled control is not focused
    }

    void keepMinSize() {
        QWidget w;
        w.resize(100, 100);
        w.show();
        QVERIFY(KeepMinSize(&w, -1, -1));
        QCOMPARE(w.size(), QSize(309, 333)); // 4635 x 5000 twips
        w.resize(600, 700);
        QVERIFY(KeepMinSize(&w, -1, -1));
        QCOMPARE(w.size(), QSize(600, 700));
        QWidget max;
        max.showMaximized();
        const QSize before = max.size();
        KeepMinSize(&max, 30000, 30000);
        QCOMPARE(max.size(), before);
    }

    void selectAllOnMaskedDate() {
        QLineEdit date;
        date.setInputMask("9999-99-99;_");
        date.setText("2024-05-15");
        QCOMPARE(SelectAllLength(&date), 12);
        date.clear();
        QCOMPARE(date.displayText(), QString("____-__-__"));
        QCOMPARE(SelectAllLength(&date), 12);
        QLineEdit plain("abc");
        QCOMPARE(SelectAllLength(&plain), 3);
        plain.show();
        plain.setFocus();
        QApplication::setActiveWindow(&plain);
        SelectAllText();
        QCOMPARE(plain.selectedText(), QString("abc"));
    }

    void enterAndArrowsMove() {
        QWidget w;
        auto *lay = new QVBoxLayout(&w);
        auto *a = new QLineEdit;
        auto *hidden = new QLineEdit;
        auto *c = new QLineEdit;
        for (QWidget *x : {static_cast<QWidget *>(a), static_cast<QWidget *>(hidden), static_cast<QWidget *>(c)})
            lay->addWidget(x);
        w.show();
        hidden->hide();
        QApplication::setActiveWindow(&w);
        a->setFocus();
        EnterKeyMove(vbKeyReturn);
        QCOMPARE(QApplication::focusWidget(), c);
        EnterKeyMove(vbKeyUp);
        QCOMPARE(QApplication::focusWidget(), a);
        EnterKeyMove(65);
        QCOMPARE(QApplication::focusWidget(), a);
    }

    void floatMsgMissingOnce() {
        env->hideTools();
        ShowFloatMsg("자료가 저장되었습니다.", 500);
        ShowFloatMsg("자료가 저장되었습니다.", 500);
        QCOMPARE(env->prompter.boxes().size(), 1);
        QVERIFY(env->prompter.texts().first().startsWith(
            "다음 프로그램을 찾을 수 없습니다.\r\n알림 메시지 프로그램 (FloatMsg)"));
        QCOMPARE(env->shell.starts.size(), 0);
    }
    void floatMsgThatDoesNotStartIsReportedOnce() {
        env->shell.onStart = [](const RecordingShell::Call &) { return Shell::kNotStarted; };
        ShowFloatMsg("자료가 저장되었습니다.", 500);
        ShowFloatMsg("자료가 저장되었습니다.", 500);
        QCOMPARE(env->shell.starts.size(), 1);
        QCOMPARE(env->prompter.boxes().size(), 1);
        QVERIFY(env->prompter.texts().first().startsWith(
            "다음 프로그램을 실행할 수 없습니다.\r\n알림 메시지 프로그램 (FloatMsg)"));
    }
    void floatMsgStartsNotice() {
        ShowFloatMsg("자료가 저장되었습니다.", 500);
        QCOMPARE(env->shell.starts.size(), 1);
        QVERIFY(env->shell.starts[0].program.endsWith("FloatMsg"));
        QCOMPARE(env->shell.starts[0].argumentText, QString(" 자료가 저장되었습니다./T500"));
        QVERIFY(!env->shell.starts[0].wait);
        QCOMPARE(env->shell.starts[0].show, Shell::Show::NoActivate);
        // Over the window it is about.
        QWidget w;
        w.setGeometry(200, 150, 400, 300);
        w.show();
        QApplication::setActiveWindow(&w);
        QVERIFY(QTest::qWaitForWindowActive(&w));
        ShowFloatMsg("자료가 저장되었습니다.", 500);
        const QPoint c = w.windowHandle()->frameGeometry().center();
        QCOMPARE(env->shell.starts[1].argumentText,
                 QString(" 자료가 저장되었습니다./T500/P%1,%2").arg(c.x()).arg(c.y()));
    }
};

QTEST_MAIN(TestHelpers)
#include "tst_helpers.moc"
