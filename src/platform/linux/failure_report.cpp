#include "platform/linux/failure_report.h"

#include <QApplication>
#include <QMessageBox>
#include <QString>
#include <QThread>
#include <cstdio>

#include "platform/linux/process_exit.h"

namespace vantu {

void reportFailureAndExit(const std::string& title, const std::string& message) {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (app == nullptr || QThread::currentThread() != app->thread()) {
        std::fprintf(stderr, "%s\n", message.c_str());
        exitNow(1);
    }
    QMessageBox box(QMessageBox::Critical, QString::fromStdString(title),
                    QString::fromUtf8(message.data(), static_cast<qsizetype>(message.size())),
                    QMessageBox::Ok, QApplication::activeWindow());
    box.setObjectName(QString::fromLatin1(kFailureReportName));
    box.exec();
    exitNow(1);
}

}  // namespace vantu
