#pragma once

#include "dialogs/Dialogs.h"

#include <QList>
#include <QPair>
#include <QStringList>

#include <utility>

// Answers a window's dialogs in place of a person and records what was asked, for the window
// tests and the helper programs that drive a window. A file dialog takes its answers from its
// queue, and once that is empty gives the standing answer (empty: the person cancelled). Warnings
// are recorded, never shown.
class AnsweringDialogs : public Dialogs
{
public:
    struct Question
    {
        QString caption;
        QString dir;
        QString filter;
    };

    AnsweringDialogs() = default;
    explicit AnsweringDialogs(QString openAnswer)
        : openAnswer(std::move(openAnswer))
    {
    }

    QString openFileName(QWidget *, const QString &caption, const QString &dir,
                         const QString &filter) override
    {
        openQuestions.append({caption, dir, filter});
        return openAnswers.isEmpty() ? openAnswer : openAnswers.takeFirst();
    }
    // All queued answers at once.
    QStringList openFileNames(QWidget *parent, const QString &caption, const QString &dir,
                              const QString &filter) override
    {
        if (openAnswers.isEmpty())
            return Dialogs::openFileNames(parent, caption, dir, filter);
        openQuestions.append({caption, dir, filter});
        return std::exchange(openAnswers, {});
    }
    QString saveFileName(QWidget *, const QString &caption, const QString &dir,
                         const QString &filter) override
    {
        saveQuestions.append({caption, dir, filter});
        return saveAnswers.isEmpty() ? QString() : saveAnswers.takeFirst();
    }
    void warning(QWidget *, const QString &title, const QString &text) override
    {
        warnings.append({title, text});
    }
    // Answers from its queue, then with the standing answer: let the work go.
    SaveChoice askToSave(QWidget *, const QString &title, const QString &text) override
    {
        saveChoiceQuestions.append({title, text});
        return saveChoices.isEmpty() ? SaveChoice::Discard : saveChoices.takeFirst();
    }

    // The last open question as caption, folder and filter; empty when none was asked.
    QStringList lastOpenQuestion() const
    {
        if (openQuestions.isEmpty())
            return {};
        const Question &q = openQuestions.constLast();
        return {q.caption, q.dir, q.filter};
    }

    QString openAnswer;
    QStringList openAnswers;
    QStringList saveAnswers;
    QList<Question> openQuestions;
    QList<Question> saveQuestions;
    QList<QPair<QString, QString>> warnings;
    QList<SaveChoice> saveChoices;
    QList<QPair<QString, QString>> saveChoiceQuestions;
};
