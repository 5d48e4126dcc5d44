#include "AppOptions.h"

#include <QCommandLineParser>

#include <array>

namespace orsa::app {
namespace {

struct OptionText {
  QStringList names;
  QString valueName;
  QString description;
};

// Each option of the program, named and described once: for the parser and for --help.
const std::array<OptionText, 7>& optionTexts() {
  static const std::array<OptionText, 7> texts = {{
      {{QStringLiteral("service")},
       QString(),
       QStringLiteral("показать команды файла настроек, команды сервера и вход в инженерное меню")},
      {{QStringLiteral("demo")}, QString(), QStringLiteral("работать с имитатором маяка внутри программы")},
      {{QStringLiteral("record")},
       QStringLiteral("файл"),
       QStringLiteral("записывать в <файл> каждый отправленный кадр и каждый принятый байт с их временем "
                      "(строки JSON) для orsa-beacon-sim --replay")},
      {{QStringLiteral("screenshot-dir")},
       QStringLiteral("папка"),
       QStringLiteral("снять все страницы и окна в PNG-файлы в <папке> и выйти")},
      {{QStringLiteral("exit-when-shown")},
       QString(),
       QStringLiteral("выйти, как только окно показано (замер запуска)")},
      {{QStringLiteral("h"), QStringLiteral("help")}, QString(), QStringLiteral("показать эту справку и выйти")},
      {{QStringLiteral("v"), QStringLiteral("version")}, QString(), QStringLiteral("показать версию и выйти")},
  }};
  return texts;
}

QString optionColumn(const OptionText& option) {
  QStringList names;
  for (const QString& name : option.names) {
    names << (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
  }
  QString column = names.join(QStringLiteral(", "));
  if (!option.valueName.isEmpty()) column += QStringLiteral(" <%1>").arg(option.valueName);
  return column;
}

}  // namespace

AppOptions AppOptions::parse(const QStringList& arguments, QString* error) {
  QCommandLineParser parser;
  QList<QCommandLineOption> options;
  for (const OptionText& text : optionTexts()) {
    options << QCommandLineOption(text.names, text.description, text.valueName);
  }
  parser.addOptions(options);
  const auto isSet = [&](const char* name) { return parser.isSet(QString::fromLatin1(name)); };
  const auto value = [&](const char* name) { return parser.value(QString::fromLatin1(name)); };

  AppOptions result;
  const auto fail = [&](const QString& why) {
    if (error != nullptr) {
      *error = QStringLiteral("orsa-configurator: %1\nСписок параметров: orsa-configurator --help").arg(why);
    }
    return result;
  };
  if (!parser.parse(arguments)) {
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty()) {
      return fail(QStringLiteral("неизвестный параметр «%1»").arg(unknown.constFirst()));
    }
    return fail(parser.errorText());
  }
  const QStringList files = parser.positionalArguments();
  if (files.size() > 1) {
    return fail(QStringLiteral("открыть можно только один файл настроек, а дано %1").arg(files.size()));
  }
  result.service = isSet("service");
  result.demo = isSet("demo");
  result.screenshotDir = value("screenshot-dir");
  result.exitWhenShown = isSet("exit-when-shown");
  result.version = isSet("version");
  result.help = isSet("help");
  result.recordPath = value("record");
  result.settingsFile = files.value(0);
  return result;
}

AppOptions AppOptions::parseEarly(const QStringList& arguments) {
  AppOptions result;
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    const QString& argument = arguments[i];
    if (argument == QLatin1String("--")) break;
    if (argument == QLatin1String("-h") || argument == QLatin1String("--help") || argument == QLatin1String("-help") ||
        argument == QLatin1String("--help-all") || argument == QLatin1String("-?")) {
      result.help = true;
    } else if (argument == QLatin1String("-v") || argument == QLatin1String("--version")) {
      result.version = true;
    }
  }
  return result;
}

QString AppOptions::helpText() {
  QString text = QStringLiteral(
      "Использование: orsa-configurator [параметры] [файл.cfg]\n"
      "Конфигуратор маяков ОРСА Т1, Т2, Т4: чтение, проверка и запись настроек маяка, файлы настроек\n"
      "и обновление прошивки.\n"
      "\n"
      "Параметры:\n");
  for (const OptionText& option : optionTexts()) {
    const QString column = optionColumn(option);
    text += QStringLiteral("  %1\n      %2\n").arg(column, option.description);
  }
  text += QStringLiteral(
      "\n"
      "Аргумент:\n"
      "  файл.cfg\n"
      "      открыть файл настроек (118 байт) в страницы окна, как это делает «Загрузить настройки из файла»\n"
      "\n"
      "Клавиши окна:\n"
      "  Ctrl+R  прочитать настройки из устройства    Ctrl+W  записать настройки в устройство\n"
      "  Ctrl+O  загрузить настройки из файла         Ctrl+S  сохранить настройки в файл\n"
      "  Ctrl+1 … Ctrl+8  разделы                      F1  справка раздела\n"
      "  Esc     прервать чтение настроек или (после вопроса) обновление прошивки\n"
      "  Tab     кнопки, разделы, поля страницы и выбор порта по очереди\n"
      "  Ctrl+Shift+E  показать скрытые команды, как --service\n"
      "\n"
      "Файл config.ini (папка файлов для модема, пути прошивки GPS-модуля, телефон для проверки связи):\n"
      "  Linux:   $XDG_CONFIG_HOME/orsa-configurator/config.ini (обычно ~/.config/orsa-configurator/config.ini)\n"
      "  Windows: рядом с программой, а если туда нельзя писать — %APPDATA%\\orsa-configurator\\config.ini\n");
  return text;
}

}  // namespace orsa::app
