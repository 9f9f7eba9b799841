// The test seam's modals (dialogs.h): the handler that answers them in the person's place,
// and the real dialogs worked by their own controls.

#include "platform/testing/dialogs.h"

#include "platform/internal/qt_util.h"
#include "platform/internal/runtime_p.h"
#include "platform/internal/window_p.h"
#include "platform/testing/test_services_p.h"
#include "platform/window.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <deque>
#include <utility>

namespace platform::testing {

namespace {

QString withoutMnemonic(QString caption)
{
    caption.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    caption.remove(QLatin1Char('&'));
    caption.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return caption;
}

// The modal widget a test works, through what the person sees of it.
class ShownDialog final : public RealDialog {
public:
    explicit ShownDialog(QWidget* widget) : mWidget(widget) {}

    std::string title() const override { return detail::ss(mWidget->windowTitle()); }
    std::string text() const override
    {
        const auto* box = qobject_cast<QMessageBox*>(mWidget);
        return box ? detail::ss(box->text()) : std::string();
    }
    std::string explanation() const override
    {
        const auto* box = qobject_cast<QMessageBox*>(mWidget);
        return box ? detail::ss(box->informativeText()) : std::string();
    }
    std::vector<std::string> buttons() const override
    {
        std::vector<std::string> out;
        for (QAbstractButton* b : visibleButtons())
            out.push_back(detail::ss(withoutMnemonic(b->text())));
        return out;
    }
    std::string defaultButton() const override
    {
        for (QAbstractButton* b : visibleButtons())
            if (auto* push = qobject_cast<QPushButton*>(b); push && push->isDefault())
                return detail::ss(withoutMnemonic(push->text()));
        return {};
    }
    std::vector<std::string> nameFilters() const override
    {
        std::vector<std::string> out;
        if (const auto* dialog = fileDialog())
            for (const QString& f : dialog->nameFilters())
                out.push_back(detail::ss(f));
        return out;
    }
    std::string selectedNameFilter() const override
    {
        const auto* dialog = fileDialog();
        return dialog ? detail::ss(dialog->selectedNameFilter()) : std::string();
    }
    std::string folder() const override
    {
        const auto* dialog = fileDialog();
        return dialog ? detail::ss(dialog->directory().absolutePath()) : std::string();
    }
    std::string fileName() const override
    {
        const QLineEdit* edit = nameField();
        return edit ? detail::ss(edit->text()) : std::string();
    }
    platform::Rect frame() const override
    {
        const QRect r = mWidget->frameGeometry();
        return {r.x(), r.y(), r.width(), r.height()};
    }
    Window* window() const override
    {
        for (Window* w : detail::windowsInCreationOrder())
            if (!w->isClosed() && w->impl().widget == mWidget)
                return w;
        return nullptr;
    }
    bool press(const std::string& caption) override
    {
        for (QAbstractButton* b : visibleButtons())
            if (withoutMnemonic(b->text()) == detail::qs(caption) && b->isEnabled()) {
                QTest::mouseClick(b, Qt::LeftButton, Qt::NoModifier, clickPoint(b));
                return true;
            }
        return false;
    }
    bool chooseTab(const std::string& caption) override
    {
        for (QTabWidget* tabs : mWidget->findChildren<QTabWidget*>()) {
            if (!tabs->isVisibleTo(mWidget))
                continue;
            for (int i = 0; i < tabs->count(); ++i)
                if (withoutMnemonic(tabs->tabText(i)) == detail::qs(caption) &&
                    tabs->isTabEnabled(i)) {
                    QTabBar* bar = tabs->tabBar();
                    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier,
                                      bar->tabRect(i).center());
                    return tabs->currentIndex() == i;
                }
        }
        return false;
    }
    bool typeNumber(const std::string& label, int value) override
    {
        for (QLabel* l : mWidget->findChildren<QLabel*>()) {
            auto* box = qobject_cast<QSpinBox*>(l->buddy());
            if (!box || !l->isVisibleTo(mWidget) || !box->isVisibleTo(mWidget) ||
                !box->isEnabled() || withoutMnemonic(l->text()) != detail::qs(label))
                continue;
            // As the person does: into the box, all of its text chosen, the number typed over
            // it and the box left.
            QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier,
                              QPoint(box->width() / 4, box->height() / 2));
            box->setFocus(Qt::MouseFocusReason);
            box->selectAll();
            QTest::keyClicks(box, QString::number(value));
            QTest::keyClick(box, Qt::Key_Tab);
            return box->value() == value;
        }
        return false;
    }
    void typeFileName(const std::string& name) override
    {
        // The whole text at once, as an edit of the person's: typed key by key, a path would
        // send the dialog's completer and folder list looking for each folder on the way.
        if (QLineEdit* edit = nameField()) {
            // Typing goes to a field that has the focus, which the dialog's choice of file
            // follows.
            mWidget->activateWindow();
            QCoreApplication::processEvents();
            edit->setFocus(Qt::OtherFocusReason);
            edit->setText(detail::qs(name));
            Q_EMIT edit->textEdited(edit->text());
        }
    }
    void pressEscape() override { QTest::keyClick(mWidget, Qt::Key_Escape); }
    void clickCloseBox() override { mWidget->close(); }

private:
    QFileDialog* fileDialog() const { return qobject_cast<QFileDialog*>(mWidget); }
    QLineEdit* nameField() const
    {
        QFileDialog* dialog = fileDialog();
        return dialog ? dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")) : nullptr;
    }
    // Where a person clicks the button: a radio or check button takes clicks on its mark and
    // caption alone, which a wide one does not reach to its middle.
    static QPoint clickPoint(QAbstractButton* b)
    {
        QStyleOptionButton option;
        option.initFrom(b);
        option.text = b->text();
        option.icon = b->icon();
        option.iconSize = b->iconSize();
        QRect area = b->rect();
        if (qobject_cast<QRadioButton*>(b))
            area = b->style()->subElementRect(QStyle::SE_RadioButtonClickRect, &option, b);
        else if (qobject_cast<QCheckBox*>(b))
            area = b->style()->subElementRect(QStyle::SE_CheckBoxClickRect, &option, b);
        return area.center();
    }
    std::vector<QAbstractButton*> visibleButtons() const
    {
        std::vector<QAbstractButton*> out;
        for (QAbstractButton* b : mWidget->findChildren<QAbstractButton*>())
            if (b->isVisibleTo(mWidget) && !b->text().isEmpty())
                out.push_back(b);
        return out;
    }

    QWidget* mWidget;
};

// Sees each modal widget as it is shown and, once its own run has started, hands it to the
// next step.
class ModalWatcher final : public QObject {
public:
    explicit ModalWatcher(RealDialogs::Impl& owner) : mOwner(owner) {}

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    RealDialogs::Impl& mOwner;
};

} // namespace

struct RealDialogs::Impl {
    ModalHandler putAside;
    std::deque<std::function<void(RealDialog&)>> steps;
    std::vector<std::string> unanswered;
    ModalWatcher watcher{*this};

    // Closes a modal that nobody is left to answer.
    static void dismiss(QWidget* widget)
    {
        ShownDialog shown(widget);
        if (Window* w = shown.window())
            w->hide();
        else if (auto* dialog = qobject_cast<QDialog*>(widget))
            dialog->reject();
        else
            widget->hide();
    }

    void work(QPointer<QWidget> widget)
    {
        if (!widget || !widget->isVisible())
            return;
        if (steps.empty()) {
            unanswered.push_back(detail::ss(widget->windowTitle()));
            dismiss(widget);
            return;
        }
        const auto step = std::move(steps.front());
        steps.pop_front();
        ShownDialog shown(widget);
        step(shown);
        if (widget && widget->isVisible() && widget->isModal()) {
            unanswered.push_back(detail::ss(widget->windowTitle()) + " (left open)");
            dismiss(widget);
        }
    }
};

namespace {

bool ModalWatcher::eventFilter(QObject* object, QEvent* event)
{
    if (event->type() == QEvent::Show && object->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(object);
        if (widget->isWindow() && widget->isModal()) {
            // Queued, so that the step runs inside the modal's own event loop.
            QPointer<QWidget> shown(widget);
            QMetaObject::invokeMethod(
                this, [this, shown] { mOwner.work(shown); }, Qt::QueuedConnection);
        }
    }
    return QObject::eventFilter(object, event);
}

} // namespace

RealDialogs::RealDialogs() : d(std::make_unique<Impl>())
{
    d->putAside = std::exchange(testServices().modalHandler, ModalHandler());
    qApp->installEventFilter(&d->watcher);
}

RealDialogs::~RealDialogs()
{
    qApp->removeEventFilter(&d->watcher);
    testServices().modalHandler = std::move(d->putAside);
}

RealDialogs& RealDialogs::then(std::function<void(RealDialog&)> step)
{
    d->steps.push_back(std::move(step));
    return *this;
}

bool RealDialogs::done() const
{
    return d->steps.empty();
}

std::vector<std::string> RealDialogs::unanswered() const
{
    return d->unanswered;
}

void setModalHandler(ModalHandler handler)
{
    testServices().modalHandler = std::move(handler);
}

FileDialogReach probeFileDialog(const std::function<void()>& show)
{
    FileDialogReach reach;
    // Looks at the dialog as it comes up, and cancels it once its run has begun.
    struct ShowFilter : QObject {
        FileDialogReach* reach = nullptr;
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            auto* dialog = qobject_cast<QFileDialog*>(watched);
            if (!dialog || event->type() != QEvent::Show)
                return false;
            reach->shown = true;
            for (QAbstractItemView* view : dialog->findChildren<QAbstractItemView*>()) {
                reach->dragAway = reach->dragAway || view->dragEnabled();
                reach->dropOnto =
                    reach->dropOnto || view->acceptDrops() || view->viewport()->acceptDrops();
            }
            if (auto* button =
                    dialog->findChild<QAbstractButton*>(QStringLiteral("newFolderButton")))
                reach->newFolder = button->isVisibleTo(dialog) && button->isEnabled();
            // The dialog's rename and delete both ask its model first.
            if (auto* model = dialog->findChild<QFileSystemModel*>())
                reach->renameOrDelete = !model->isReadOnly();
            QMetaObject::invokeMethod(dialog, &QDialog::reject, Qt::QueuedConnection);
            return false;
        }
    } filter;
    filter.reach = &reach;
    ModalHandler handler = std::exchange(testServices().modalHandler, ModalHandler());
    qApp->installEventFilter(&filter);
    show();
    qApp->removeEventFilter(&filter);
    testServices().modalHandler = std::move(handler);
    return reach;
}

namespace {

// Runs `work` once `find` finds what it looks for, as soon as the event loop gets to it; looks
// again on each turn of the loop until then, and gives up once `stillWaiting` says so.
void whenFound(const std::function<QWidget*()>& find, const std::function<bool()>& stillWaiting,
               const std::function<void(QWidget*)>& work)
{
    QTimer::singleShot(0, qApp, [=] {
        if (QWidget* w = find())
            work(w);
        else if (stillWaiting())
            whenFound(find, stillWaiting, work);
    });
}

template <typename T> T* shownModal()
{
    auto* w = qobject_cast<T*>(QApplication::activeModalWidget());
    return w && w->isVisible() ? w : nullptr;
}

} // namespace

void typeIntoNextFileDialog(std::string name, std::string* question)
{
    whenFound([] { return shownModal<QFileDialog>(); }, [] { return true; },
              [name, question](QWidget* w) {
                  QPointer<QFileDialog> dialog = static_cast<QFileDialog*>(w);
                  // The replace question comes from inside the accept button's press.
                  whenFound([] { return shownModal<QMessageBox>(); },
                            [dialog] { return dialog && dialog->isVisible(); },
                            [question](QWidget* box) {
                                auto* b = static_cast<QMessageBox*>(box);
                                if (question)
                                    *question = detail::ss(b->text());
                                b->button(QMessageBox::Yes)->click();
                            });
                  dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))
                      ->setText(detail::qs(name));
                  auto* buttons = dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
                  QPushButton* accept = buttons->button(
                      dialog->acceptMode() == QFileDialog::AcceptSave ? QDialogButtonBox::Save
                                                                      : QDialogButtonBox::Open);
                  accept->click();
              });
}

void closeNextDialog(bool confirm)
{
    whenFound([] { return shownModal<QDialog>(); }, [] { return true; },
              [confirm](QWidget* w) {
                  auto* dialog = static_cast<QDialog*>(w);
                  (void)dialog->grab(); // paints every part of it
                  if (confirm)
                      dialog->accept();
                  else
                      dialog->reject();
              });
}

} // namespace platform::testing
