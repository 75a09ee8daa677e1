#pragma once

#include <QApplication>
#include <QDialog>
#include <QTimer>

#include <gtest/gtest.h>

// Answers the next modal dialog of type T once it is up, as a user would. A dialog that the
// answer leaves open is failed and closed, so that a broken test cannot hang.
template <class T> void answerNextModal(std::function<void(T*)> action) {
    auto* poll = new QTimer(QCoreApplication::instance());
    QObject::connect(poll, &QTimer::timeout, poll, [poll, action] {
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (dialog == nullptr || !dialog->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        action(dialog);
        QTimer::singleShot(2000, dialog, [dialog] {
            EXPECT_FALSE(dialog->isVisible()) << "the dialog is still open";
            if (dialog->isVisible())
                static_cast<QDialog*>(dialog)->reject();
        });
    });
    poll->start(10);
}
