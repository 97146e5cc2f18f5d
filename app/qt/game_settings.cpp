// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt/game_settings.h"

#include <QMessageBox>
#include <QSettings>
#include <QStringList>

#include "app/qt/launch_options.h"

namespace zanfiro {

namespace {

const char* const divisorKey = "gioco/divisore";
const char* const minutesKey = "gioco/minuti";

QString allowedDivisorsText()
{
    QStringList all;
    for (const int divisor : allowedDivisors)
        all << QString::number(divisor);
    const QString last = all.takeLast();
    return all.join(QStringLiteral(", ")) + QStringLiteral(" o ") + last;
}

// One setting: the launch's option wins over the file. A value that is there must be a whole
// number the check accepts; `where` names it for the message.
QString readOne(const QSettings& settings, const char* key, const QString& option, const QString& optionName,
    bool (*accepted)(int), int& value)
{
    QString text;
    QString where;
    if (!option.isNull()) {
        text = option;
        where = QStringLiteral("l'opzione %1 \"%2\"").arg(optionName, option);
    } else if (settings.contains(QLatin1String(key))) {
        text = settings.value(QLatin1String(key)).toString();
        where = QStringLiteral("l'impostazione %1 = \"%2\" in %3")
                    .arg(QLatin1String(key), text, settings.fileName());
    } else {
        return {};
    }
    bool isNumber = false;
    const int number = text.trimmed().toInt(&isNumber, 10);
    if (!isNumber || !accepted(number))
        return where;
    value = number;
    return {};
}

} // namespace

ChosenRules readGameRules(const QString& settingsPath, const QString& divisorOption, const QString& minutesOption)
{
    const QSettings settings(settingsPath, QSettings::IniFormat);
    ChosenRules chosen;
    if (const QString where = readOne(settings, divisorKey, divisorOption, QStringLiteral("--divisore"),
            isAllowedDivisor, chosen.rules.divisor);
        !where.isEmpty()) {
        chosen.error = QStringLiteral("Zanfiro non può partire: %1 non va bene.\nIl divisore deve essere %2.")
                           .arg(where, allowedDivisorsText());
        return chosen;
    }
    if (const QString where = readOne(settings, minutesKey, minutesOption, QStringLiteral("--minuti"),
            isAllowedLength, chosen.rules.minutes);
        !where.isEmpty())
        chosen.error = QStringLiteral("Zanfiro non può partire: %1 non va bene.\n"
                                      "La partita deve durare un numero intero di minuti da %2 a %3.")
                           .arg(where)
                           .arg(fewestMinutes)
                           .arg(mostMinutes);
    return chosen;
}

int describedDivisor(const QString& settingsPath, const QString& divisorOption)
{
    const ChosenRules chosen = readGameRules(settingsPath, divisorOption, QStringLiteral("5"));
    return chosen.error.isEmpty() ? chosen.rules.divisor : GameRules{}.divisor;
}

std::optional<GameRules> chosenGameRules(const QString& settingsPath, const LaunchOptions& options)
{
    const ChosenRules chosen = readGameRules(settingsPath, options.divisor, options.minutes);
    if (chosen.error.isEmpty())
        return chosen.rules;
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Zanfiro"), chosen.error, QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.exec();
    return std::nullopt;
}

} // namespace zanfiro
