#pragma once

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <cstdlib>
#include <functional>
#include <memory>
#include <type_traits>

#include "platform/Image.h"
#include "platform/QImageAdapter.h"
#include "screens/base/EKYCBaseNavigationViewController.h"
#include "screens/information/EKYCInfomationDocumentViewController.h"
#include "screens/introduce/EKYCIntroduceViewController.h"
#include "screens/selection/EKYCSelectionViewController.h"
#include "sdk/EKYCFlowLauncher.h"
#include "support/QtTestSupport.h"
#include "ui/alert/AlertController.h"
#include "ui/alert/QXAlertViewController.h"
#include "ui/alert/QXDialogViewController.h"
#include "ui/controller/NavigationController.h"
#include "ui/lists/EKYCBaseTableView.h"

namespace ovira::test {

// Runs the GUI event loop until `done` holds; false when it never did
// within the (generous) limit. Results of the service arrive this way.
inline bool waitUntil(const std::function<bool()>& done, int limitMs = 30000) {
    const QDeadlineTimer deadline(limitMs);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    settle();
    return true;
}

// A tap in the middle of a widget.
inline void tap(QWidget* widget) {
    if (!widget) {
        ADD_FAILURE() << "nothing to tap";
        return;
    }
    QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
    settle();
}

// Typing, one key press per character; Vietnamese letters included.
inline void typeText(QWidget* widget, const QString& text) {
    for (const QChar character : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(character));
        QCoreApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(character));
        QCoreApplication::sendEvent(widget, &release);
    }
    settle();
}

// The flow as the library shows it: `root` in the navigation container,
// presented over the host's window.
inline EKYCBaseNavigationViewController* presentFlow(ViewController& host, ViewController* root) {
    auto* navigation = new EKYCBaseNavigationViewController(root);
    // Shown as the library shows a flow, so that its outcome reaches the host
    // once it has gone; beside a flow still on screen, as a plain presentation.
    if (!EKYCFlowLauncher::presentFlow(&host, navigation, false)) host.present(navigation, false);
    settle();
    return navigation;
}

// A new screen with its own view model, made from `args`.
template <class Screen, class... Args>
Screen* makeScreen(Args&&... args) {
    using ViewModel = std::remove_cvref_t<decltype(std::declval<Screen&>().viewModel())>;
    auto* screen = new Screen;
    screen->setViewModel(makeViewModel<ViewModel>(std::forward<Args>(args)...));
    return screen;
}

// The flow as it reaches `screen`: the first screen at the root, `screen`
// pushed over it (not settled: what the screen fetches has not arrived).
inline EKYCBaseNavigationViewController* presentFlowAt(ViewController& host, ViewController* screen) {
    auto* navigation = presentFlow(host, makeScreen<EKYCIntroduceViewController>());
    navigation->pushViewController(screen, false);
    return navigation;
}

// The last screen of the chain presented over `screen` or its container.
inline ViewController* topPresented(ViewController* screen) {
    ViewController* presented = screen->presentedViewController();
    if (!presented && screen->navigationController())
        presented = screen->navigationController()->presentedViewController();
    while (presented && presented->presentedViewController())
        presented = presented->presentedViewController();
    return presented;
}

// The alert or dialog shown over `screen`, or null.
inline AlertController* presentedAlert(ViewController* screen) {
    return qobject_cast<AlertController*>(topPresented(screen));
}

inline QXDialogViewController* dialogContent(AlertController* alert) {
    return alert ? qobject_cast<QXDialogViewController*>(alert) : nullptr;
}

// The dialog button titled `title` of a presented dialog, or null.
inline QPushButton* dialogButton(AlertController* alert, const QString& title) {
    auto* dialog = dialogContent(alert);
    if (!dialog) return nullptr;
    for (auto* button : dialog->actionButtons())
        if (button->text() == title) return button;
    return nullptr;
}

inline QXAlertViewController* alertContent(AlertController* alert) {
    return alert ? qobject_cast<QXAlertViewController*>(alert) : nullptr;
}

// A made-up card photograph: a tinted card with a header band and lines.
inline ImagePtr cardPhoto(QColor tint) {
    QImage card(856, 540, QImage::Format_RGB888);
    card.fill(tint.lighter(170));
    QPainter painter(&card);
    painter.fillRect(0, 0, 856, 110, tint);
    painter.fillRect(48, 170, 210, 270, tint.lighter(130));
    for (int line = 0; line < 5; ++line)
        painter.fillRect(300, 180 + line * 56, 480 - line * 40, 20, tint.darker(150));
    painter.end();
    return QImageAdapter::make(card);
}

// The rows of a list, top row first.
template <class Cell>
QList<Cell*> rowsOf(const EKYCBaseTableView* table) {
    QList<Cell*> cells;
    for (QWidget* row : table->rows())
        if (auto* cell = qobject_cast<Cell*>(row)) cells.append(cell);
    return cells;
}

// The row of `index`, scrolled into view first.
template <class Cell>
Cell* cellInView(EKYCBaseTableView* table, int index) {
    const auto rows = table->rows();
    if (index < 0 || index >= rows.size()) return nullptr;
    table->ensureWidgetVisible(rows[index], 0, 0);
    settle();
    return qobject_cast<Cell*>(rows[index]);
}

// The entries a selection sheet shows, top first.
inline QStringList entriesOf(const EKYCSelectionViewController* list) {
    QStringList texts;
    for (int row = 0; row < list->entries()->rowCount(); ++row)
        texts.append(list->entries()->index(row, 0).data().toString());
    return texts;
}

// Taps the shown entry of a selection sheet that reads `text`; false when none does.
inline bool tapEntry(EKYCSelectionViewController* list, const QString& text) {
    const auto texts = entriesOf(list);
    const qsizetype row = texts.indexOf(text);
    if (row < 0) return false;
    const QModelIndex index = list->entries()->index(static_cast<int>(row), 0);
    list->tableView->scrollTo(index);
    settle();
    QTest::mouseClick(list->tableView->viewport(), Qt::LeftButton, {},
                      list->tableView->visualRect(index).center());
    settle();
    return true;
}

// The form once its fetch ended, shown.
inline bool formFetched(EKYCInfomationDocumentViewController* form) {
    return waitUntil([&] { return !form->isLoading(); }) && form->tableView->isVisible();
}

// The form's first editable row of `type`; -1 when there is none.
inline int editableRow(const EKYCInfomationDocumentViewController* form,
                       EKYCInfomationDocument::FieldType type) {
    const auto& items = form->viewModel().items;
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i].fieldType == type && items[i].editable) return static_cast<int>(i);
    return -1;
}

}  // namespace ovira::test
