#include "frontend/qt/failure_report.h"

#include <QApplication>
#include <QMessageBox>
#include <QString>
#include <QThread>

namespace vantu {

bool showFailureReport(const std::string& title, const std::string& message) {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (app == nullptr || QThread::currentThread() != app->thread())
        return false;
    QMessageBox box(QMessageBox::Critical, QString::fromStdString(title),
                    QString::fromUtf8(message.data(), static_cast<qsizetype>(message.size())),
                    QMessageBox::Ok, QApplication::activeWindow());
    box.setObjectName(QString::fromLatin1(kFailureReportName));
    box.exec();
    return true;
}

}  // namespace vantu
