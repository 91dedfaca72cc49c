#include "tests/support/ModalScript.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QTest>

#include <algorithm>

ModalScript* ModalScript::newest = nullptr;

ModalScript::ModalScript(std::chrono::milliseconds watchdog) : previous(newest)
{
    newest = this;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && window->isModal())
            seen.emplace_back(window);
    }
    QObject::connect(&poller, &QTimer::timeout, [this] { Poll(); });
    poller.start(5);
    watchdogTimer.setSingleShot(true);
    QObject::connect(&watchdogTimer, &QTimer::timeout, [this] {
        timedOut = true;
        CloseAllModals();
    });
    watchdogTimer.start(watchdog);
}

ModalScript::~ModalScript()
{
    if (newest == this)
        newest = previous;
}

ModalScript& ModalScript::Then(Step step)
{
    steps.push_back(std::move(step));
    return *this;
}

void ModalScript::Poll()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (newest != this || !modal || !modal->isVisible() || Seen(modal))
        return;
    seen.emplace_back(modal);
    if (steps.empty()) {
        ++unexpectedModals;
        CloseAllModals();
        return;
    }
    const Step step = std::move(steps.front());
    steps.pop_front();
    step(modal);
    ++stepsDone;
}

bool ModalScript::Seen(const QWidget* window) const
{
    return std::find(seen.begin(), seen.end(), window) != seen.end();
}

void ModalScript::CloseAllModals()
{
    while (QWidget* modal = QApplication::activeModalWidget()) {
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
        if (modal->isVisible())
            break;
    }
}

ModalScript::Step AcknowledgeMessage(SeenMessage& seen)
{
    return [&seen](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (!box)
            return;
        seen = {box->windowTitle(), box->text(), box->informativeText(), box->icon(), true};
        box->button(QMessageBox::Ok)->click();
    };
}

SeenMessage MessageShownBy(const std::function<void()>& action)
{
    SeenMessage seen;
    ModalScript script;
    script.Then(AcknowledgeMessage(seen));
    action();
    return seen;
}

int ModalsOpenedBy(const std::function<void()>& action)
{
    ModalScript script;
    action();
    QTest::qWait(50);
    return script.UnexpectedModals();
}
