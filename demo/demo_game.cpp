// A stand-in for the game: it shows the player the command line the launcher handed it, one
// argument per row, and what each switch means, so the launcher can be tried without the game.

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QString>
#include <QStringList>
#include <QVBoxLayout>
#include <QWidget>
#include <string_view>
#include <utility>
#include <vector>

#include "window/layout.h"

namespace vantu::demo {
namespace {

const QString kTitle = QStringLiteral("Vantu2: Copper Winds (demo game)");

QString fromView(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).trimmed();
}

// An argument as the player would have to type it: quoted when it is empty or holds blanks.
QString shown(const QString& arg) {
    if (arg.isEmpty() || arg.contains(QLatin1Char(' ')) || arg.contains(QLatin1Char('\t'))) {
        return QLatin1Char('"') + arg + QLatin1Char('"');
    }
    return arg;
}

// The meaning of the value that follows "-d", or an empty string when the game knows none.
QString explainDisplayValue(const QString& value) {
    if (value.startsWith(QLatin1Char('v'))) {
        bool ok = false;
        const int mode = value.mid(1).toInt(&ok);
        // Only the plain spellings v0..v11 select a mode ("v03" or "v+3" do not).
        if (ok && mode >= 0 && mode < static_cast<int>(layout::kDisplayModes.size()) &&
            value == QStringLiteral("v%1").arg(mode)) {
            return QStringLiteral("display mode %1")
                .arg(fromView(layout::kDisplayModes[static_cast<std::size_t>(mode)]));
        }
        return {};
    }
    static const std::pair<const char*, const char*> kWords[] = {
        {"winmode", "window mode on (the game runs in a window)"},
        {"noshaders", "shaders off"},
        {"noshadow", "advanced shadows off"},
        {"nosprite", "engine and fire effects off"},
        {"nocloud", "scenery clouds off"},
        {"noglow", "bullet glow off"},
        {"saveme", "options changed (the game keeps them)"},
    };
    for (const auto& [word, meaning] : kWords) {
        if (value == QLatin1String(word))
            return QString::fromLatin1(meaning);
    }
    return {};
}

// One row per switch: "-nc" alone, "-d" together with the value after it.
std::vector<QString> explainSwitches(const QStringList& args) {
    std::vector<QString> rows;
    const QString arrow = QStringLiteral(" \u2192 ");
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("-nc")) {
            rows.push_back(arg + arrow + QStringLiteral("started by the launcher"));
        } else if (arg == QLatin1String("-d")) {
            if (i + 1 == args.size()) {
                rows.push_back(arg + arrow + QStringLiteral("no value follows (ignored)"));
                continue;
            }
            const QString value = args[++i];
            const QString meaning = explainDisplayValue(value);
            rows.push_back(
                arg + QLatin1Char(' ') + shown(value) + arrow +
                (meaning.isEmpty() ? QStringLiteral("unknown value (ignored)") : meaning));
        } else {
            rows.push_back(arg + arrow + QStringLiteral("unknown argument (ignored)"));
        }
    }
    return rows;
}

}  // namespace
}  // namespace vantu::demo

int main(int argc, char* argv[]) {
    using namespace vantu::demo;

    // Copied before QApplication, which takes the options it knows (-style, -platform, ...) out
    // of argv: the player is to see exactly what the launcher passed.
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vantu-demo-game"));

    QWidget window;
    window.setWindowTitle(kTitle);
    auto* layout = new QVBoxLayout(&window);

    auto* heading = new QLabel(
        QStringLiteral("This is the demo game. The launcher started it with %1 argument%2:")
            .arg(args.size())
            .arg(args.size() == 1 ? QString() : QStringLiteral("s")));
    heading->setWordWrap(true);
    layout->addWidget(heading);

    QStringList shownArgs;
    for (const QString& arg : args)
        shownArgs << shown(arg);
    auto* commandLine = new QLabel(QStringLiteral("vantu.exe ") + shownArgs.join(QLatin1Char(' ')));
    commandLine->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    commandLine->setTextInteractionFlags(Qt::TextSelectableByMouse);
    commandLine->setWordWrap(true);
    layout->addWidget(commandLine);

    auto* argList = new QListWidget;
    argList->setObjectName(QStringLiteral("arguments"));
    for (qsizetype i = 0; i < args.size(); ++i) {
        argList->addItem(QStringLiteral("argv[%1]  %2").arg(i + 1).arg(shown(args[i])));
    }
    layout->addWidget(argList);

    layout->addWidget(new QLabel(QStringLiteral("What the switches mean:")));
    auto* meanings = new QListWidget;
    meanings->setObjectName(QStringLiteral("meanings"));
    for (const QString& row : explainSwitches(args))
        meanings->addItem(row);
    if (args.isEmpty())
        meanings->addItem(QStringLiteral("(no switches: the game's defaults)"));
    layout->addWidget(meanings);

    auto* quit = new QPushButton(QStringLiteral("Quit"));
    QObject::connect(quit, &QPushButton::clicked, &window, &QWidget::close);
    layout->addWidget(quit, 0, Qt::AlignRight);
    quit->setDefault(true);
    quit->setFocus();

    window.resize(460, 520);
    window.show();
    return QApplication::exec();
}
