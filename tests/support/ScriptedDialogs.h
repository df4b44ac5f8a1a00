#pragma once

#include "platform/Dialogs.h"

#include <QList>
#include <QQueue>
#include <QString>

// Dialogs for tests: records every message and prompt and answers from queues filled by the test.
// A message with only an OK button needs no scripted answer. A question, input box or file dialog without a
// scripted answer fails the running test.
class ScriptedDialogs : public Dialogs {
public:
    struct Message {
        QString text;
        Buttons buttons;
        Icon icon;
        QString title; // as shown: the product title when the caller gave none
    };

    QList<Message> messages;
    QStringList prompts;
    QStringList promptTitles; // as shown, one per prompt
    struct FileQuestion {
        QString title;
        QString offered; // the folder (and name) the dialog opened on
    };
    QList<FileQuestion> fileQuestions; // file and folder dialogs, in order

    void answer(Answer a) { m_answers.enqueue(a); }
    void type(const QString& text) { m_inputs.enqueue(text); }
    // The answer of the next file or folder dialog, of any kind; empty: cancelled.
    void chooseFile(const QString& path) { m_files.enqueue(path); }
    bool allAnswersUsed() const { return m_answers.isEmpty() && m_inputs.isEmpty() && m_files.isEmpty(); }
    QStringList texts() const;
    void reset();

    Answer message(QWidget* parent, const QString& text, Buttons buttons, Icon icon, const QString& title) override;
    QString input(QWidget* parent, const QString& prompt, const QString& title, const QString& defaultText) override;
    OpenFile openFile(QWidget* parent, const QString& title, const QString& filter,
                      const QString& folder = QString()) override;
    QString saveFile(QWidget* parent, const QString& title, const QString& filter, const QString& suggested) override;
    QString chooseFolder(QWidget* parent, const QString& title, const QString& start) override;

private:
    QString nextFile(const QString& title, const QString& offered);

    QQueue<Answer> m_answers;
    QQueue<QString> m_inputs;
    QQueue<QString> m_files;
};
