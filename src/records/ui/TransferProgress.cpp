#include "records/ui/TransferProgress.h"

#include <QProgressDialog>

namespace {
constexpr int kSteps = 1000;
} // namespace

TransferProgress::TransferProgress(QWidget* parent, const QString& label, const Policy& policy)
    : m_parent(parent), m_label(label), m_policy(policy) {}

TransferProgress::~TransferProgress() {
    delete m_dialog.data();
}

std::function<bool(qint64, qint64)> TransferProgress::receiver() {
    return [this](qint64 done, qint64 total) { return step(done, total); };
}

bool TransferProgress::step(qint64 done, qint64 total) {
    if (total < m_policy.fromBytes || total <= 0)
        return true;
    if (!m_dialog) {
        m_dialog = new QProgressDialog(m_label, QStringLiteral("Cancel"), 0, kSteps, m_parent);
        m_dialog->setObjectName(QStringLiteral("TransferProgress"));
        // Nothing else may be used meanwhile: the window that started the move must not close under it.
        m_dialog->setWindowModality(Qt::ApplicationModal);
        m_dialog->setMinimumDuration(m_policy.delayMs);
        m_dialog->setAutoClose(false);
        m_dialog->setAutoReset(false);
        m_dialog->setValue(0);
    }
    // Being modal, the dialog lets the desktop repaint and take the Cancel click while its value is set.
    m_dialog->setValue(static_cast<int>(done * kSteps / total));
    return !m_dialog->wasCanceled();
}
