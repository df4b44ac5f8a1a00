#include "support/ScriptedDialogs.h"

#include "platform/ProductTitle.h"

#include <QFileInfo>
#include <QTest>

QStringList ScriptedDialogs::texts() const {
    QStringList all;
    for (const Message& m : messages)
        all << m.text;
    return all;
}

void ScriptedDialogs::reset() {
    messages.clear();
    prompts.clear();
    promptTitles.clear();
    fileQuestions.clear();
    m_answers.clear();
    m_inputs.clear();
    m_files.clear();
}

Dialogs::Answer ScriptedDialogs::message(QWidget*, const QString& text, Buttons buttons, Icon icon,
                                         const QString& title) {
    messages.append({text, buttons, icon, title.isEmpty() ? kProductTitle : title});
    if (buttons == Buttons::Ok) {
        if (!m_answers.isEmpty() && m_answers.head() == Answer::Ok)
            m_answers.dequeue();
        return Answer::Ok;
    }
    if (m_answers.isEmpty()) {
        QTest::qFail(qPrintable(QStringLiteral("unexpected question: ") + text), __FILE__, __LINE__);
        return Answer::No;
    }
    return m_answers.dequeue();
}

QString ScriptedDialogs::input(QWidget*, const QString& prompt, const QString& title, const QString&) {
    prompts.append(prompt);
    promptTitles.append(title.isEmpty() ? kProductTitle : title);
    if (m_inputs.isEmpty()) {
        QTest::qFail(qPrintable(QStringLiteral("unexpected input box: ") + prompt), __FILE__, __LINE__);
        return QString();
    }
    return m_inputs.dequeue();
}

QString ScriptedDialogs::nextFile(const QString& title, const QString& offered) {
    prompts.append(title);
    promptTitles.append(title);
    fileQuestions.append({title, offered});
    if (m_files.isEmpty()) {
        QTest::qFail(qPrintable(QStringLiteral("unexpected file dialog: ") + title), __FILE__, __LINE__);
        return QString();
    }
    return m_files.dequeue();
}

Dialogs::OpenFile ScriptedDialogs::openFile(QWidget*, const QString& title, const QString&, const QString& folder) {
    const QString path = nextFile(title, folder);
    return path.isEmpty() ? OpenFile{} : OpenFile{path, QFileInfo(path).fileName()};
}

QString ScriptedDialogs::saveFile(QWidget*, const QString& title, const QString&, const QString& suggested) {
    return nextFile(title, suggested);
}

QString ScriptedDialogs::chooseFolder(QWidget*, const QString& title, const QString& start) {
    return nextFile(title, start);
}
