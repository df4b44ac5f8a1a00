#pragma once

#include <QPointer>
#include <QString>
#include <functional>

class QProgressDialog;
class QWidget;

// A progress dialog while a file moves into or out of the database. Small files move without one; a large one
// shows it once the move has taken a moment. Its Cancel stops the move.
class TransferProgress {
public:
    struct Policy {
        qint64 fromBytes = 8 << 20; // smaller files never show the dialog
        int delayMs = 400;          // the dialog shows once the move has taken this long and has more to go
    };

    TransferProgress(QWidget* parent, const QString& label, const Policy& policy);
    ~TransferProgress();
    TransferProgress(const TransferProgress&) = delete;
    TransferProgress& operator=(const TransferProgress&) = delete;

    // What the store is told to report to: moves the bar, answers false once Cancel has been pressed.
    std::function<bool(qint64 done, qint64 total)> receiver();

private:
    bool step(qint64 done, qint64 total);

    QWidget* m_parent;
    QString m_label;
    Policy m_policy;
    QPointer<QProgressDialog> m_dialog;
};
