#pragma once
// The real program under Xvfb, driven from a shell script: the tests that
// start the built program or the packaged launcher share this one way of
// starting it, waiting for its main window and ending it.

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>

namespace testing {

// A shell fragment that waits for the main window and leaves its geometry
// in X, Y and H. The splash window and a hidden leader window share the
// title, so the main window is the one taller than 480 pixels.
inline const char* const kWaitForMainWindow =
    "for i in $(seq 1 150); do "
    "g=$(xwininfo -root -tree | grep '\"Orvane Zaru\": (\"' | grep -o '[0-9]*x[0-9]*+[0-9-]*+[0-9-]*' | "
    "awk -Fx '{ split($2, p, \"+\"); if (p[1] > 480) print }' | head -n 1); [ -n \"$g\" ] && break; sleep 0.1; done; "
    "sleep 1; "
    "H=$(echo $g | awk -Fx '{ split($2, p, \"+\"); print p[1] }'); "
    "X=$(echo $g | awk -F+ '{ print $2 }'); Y=$(echo $g | awk -F+ '{ print $3 }'); ";

// Starts `program` in `dir` under Xvfb with `env`, runs the shell `steps`
// once its main window is up (its process id in $pid), then ends it; false
// when all that takes longer than `timeoutMs`.
inline bool runUnderXvfb(const QString& program, const QString& dir, const QString& steps,
                         QProcessEnvironment env = QProcessEnvironment::systemEnvironment(), int timeoutMs = 120000)
{
    const QString script = QStringLiteral("\"%1\" & pid=$!; ").arg(program) + QString::fromLatin1(kWaitForMainWindow) +
                           steps + QStringLiteral("; kill $pid; wait $pid; true");
    QProcess run;
    run.setWorkingDirectory(dir);
    env.remove("QT_QPA_PLATFORM");
    env.insert("ASAN_OPTIONS", "detect_leaks=0");  // the program is killed at the end, mid-run
    run.setProcessEnvironment(env);
    run.start("xvfb-run", {"-a", "-s", "-screen 0 1024x768x24", "sh", "-c", script});
    return run.waitForFinished(timeoutMs);
}

}  // namespace testing
