#include "platform/qt/CommandLine.h"

#include <QCommandLineParser>
#include <cerrno>
#include <cstring>
#include <string>

namespace tamberlyn {

namespace {

const char* const kHelp =
    "Usage: tamberlyn [options]\n"
    "While monitoring is on, closes every window whose title contains one of the words\n"
    "in its list. Started again in the same session, it brings the running one forward.\n"
    "\n"
    "Options:\n"
    "  -h, --help     Show this help and exit.\n"
    "  -v, --version  Show the version and exit.\n"
    "\n"
    "On Wayland it closes native Wayland windows too on wlroots desktops (sway, Hyprland,\n"
    "river, labwc, wayfire), on KDE Plasma and on GNOME, where it must run as installed\n"
    "(GNOME: with its extension enabled, once, by\n"
    "  gnome-extensions enable tamberlyn@example.quillmark        GNOME 45 and later\n"
    "  gnome-extensions enable tamberlyn-gnome43@example.quillmark  GNOME 43 and 44\n"
    "and a log-out after installing); elsewhere it sees X11 programs only.\n";

const char* const kVersion =
    "Tamberlyn " TAMBERLYN_VERSION "\n" TAMBERLYN_COPYRIGHT "\n"
    "MIT License: free to use, change and share, with no warranty.\n";

// The argument as the user wrote it that names an unknown option, so the message quotes it.
QString writtenAs(const QStringList& arguments, const QString& name) {
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--")) break;
        if (!argument.startsWith(QLatin1Char('-'))) continue;
        QString written = argument.section(QLatin1Char('='), 0, 0);
        QString bare = written;
        while (bare.startsWith(QLatin1Char('-'))) bare.remove(0, 1);
        if (bare == name) return written;
    }
    return QStringLiteral("--") + name;
}

// Help and version go to a pipe or a file as often as to a terminal: a failed write is an error.
int printed(std::FILE* out, std::FILE* err, const std::string& text) {
    if (std::fputs(text.c_str(), out) < 0 || std::fflush(out) != 0) {
        std::fprintf(err, "tamberlyn: cannot write to the standard output: %s\n", std::strerror(errno));
        return 1;
    }
    return 0;
}

int usageError(std::FILE* err, const QString& problem) {
    std::fprintf(err, "tamberlyn: %s; try 'tamberlyn --help'\n", problem.toLocal8Bit().constData());
    return 2;
}

}  // namespace

std::optional<int> handleCommandLine(const QStringList& arguments, std::FILE* out, std::FILE* err) {
    QCommandLineParser parser;
    // "-help" means --help; no bundling of single letters into one word.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QString());
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")}, QString());
    parser.addOption(help);
    parser.addOption(version);

    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty()) {
            return usageError(err, QStringLiteral("unknown option '%1'").arg(writtenAs(arguments, unknown.first())));
        }
        QString problem = parser.errorText();  // say, a value given to an option that takes none
        if (problem.endsWith(QLatin1Char('.'))) problem.chop(1);
        if (!problem.isEmpty()) problem[0] = problem[0].toLower();
        return usageError(err, problem);
    }
    if (!parser.positionalArguments().isEmpty()) {
        return usageError(err, QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().first()));
    }
    if (parser.isSet(help)) return printed(out, err, kHelp);
    if (parser.isSet(version)) return printed(out, err, kVersion);
    return std::nullopt;
}

}  // namespace tamberlyn
