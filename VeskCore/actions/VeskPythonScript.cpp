#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include "actions/VeskPythonScript.h"

#include "base/VeskNSLog.h"
#include "platform/VeskSettings.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

const QString VeskPythonScript::kTimeLimitKey = QStringLiteral("ExtPythonMailerTimeLimit");

namespace {

// Lives in the interpreter for its whole run. A stop sets the event, which wakes any
// time.sleep() of the script; the socket time-out keeps a connection that hangs from
// outliving the time limit inside a call that no exception can reach.
constexpr const char *kGuardSource = R"(
import socket
import threading
import time

_stop = threading.Event()


def _sleep(seconds):
    if _stop.wait(seconds):
        raise SystemExit("stopped")


def _begin(limit):
    _stop.clear()
    socket.setdefaulttimeout(limit)


time.sleep = _sleep
)";

// The script running now, and whether it was asked to stop.
struct RunWatch {
    std::mutex lock;
    std::condition_variable changed;
    bool running = false;
    bool stopAsked = false;
    unsigned long threadId = 0;
};

RunWatch &runWatch()
{
    static RunWatch watch;
    return watch;
}

// Runs the code in the guard module; the GIL is held.
bool runInGuard(const QByteArray &code)
{
    PyObject *module = PyImport_AddModule("_vesk_script_guard");
    PyObject *globals = module ? PyModule_GetDict(module) : nullptr;
    PyObject *result = globals ? PyRun_String(code.constData(), Py_file_input, globals, globals) : nullptr;
    if (!result) {
        PyErr_Print();
        return false;
    }
    Py_DECREF(result);
    return true;
}

// Started on first use by whichever thread runs a script first; the thread then lets
// go of the interpreter so that any thread may take it for a run.
bool startInterpreter()
{
#if defined(__SANITIZE_ADDRESS__)
    // The interpreter's own arenas hide its objects' pointers from the leak checker.
    PyPreConfig preconfig;
    PyPreConfig_InitPythonConfig(&preconfig);
    preconfig.allocator = PYMEM_ALLOCATOR_MALLOC;
    if (PyStatus_Exception(Py_PreInitialize(&preconfig)))
        return false;
#endif
    PyConfig config;
    PyConfig_InitPythonConfig(&config);
    // The host owns the signals (Ctrl-C on the command line, the application's own).
    config.install_signal_handlers = 0;
    config.parse_argv = 0;
    PyStatus status = PyConfig_SetString(&config, &config.program_name, L"/usr/bin/python");
    if (!PyStatus_Exception(status))
        status = Py_InitializeFromConfig(&config);
    PyConfig_Clear(&config);
    if (PyStatus_Exception(status)) {
        VESK_LOG(QStringLiteral("Python could not start: %1")
                     .arg(QString::fromUtf8(status.err_msg ? status.err_msg : "unknown error")));
        return false;
    }
    if (!runInGuard(kGuardSource))
        VESK_LOG(QStringLiteral("Python started without the guard that wakes a stopped script's sleep"));
    PyEval_SaveThread();
    return true;
}

bool interpreterReady()
{
    static std::once_flag once;
    static bool ready = false;
    std::call_once(once, [] { ready = startInterpreter(); });
    return ready;
}

// A module "__main__" made afresh and put in place of the previous one.
PyObject *freshMainDictionary()
{
    PyObject *module = PyModule_New("__main__");
    if (!module)
        return nullptr;
    PyObject *dictionary = PyModule_GetDict(module);
    PyObject *builtins = PyImport_ImportModule("builtins");
    const bool ready = builtins && PyDict_SetItemString(dictionary, "__builtins__", builtins) == 0
        && PyDict_SetItemString(PyImport_GetModuleDict(), "__main__", module) == 0;
    Py_XDECREF(builtins);
    if (!ready) {
        Py_DECREF(module);
        return nullptr;
    }
    Py_INCREF(dictionary);
    Py_DECREF(module); // sys.modules keeps it
    return dictionary;
}

void reportScriptError()
{
    if (PyErr_ExceptionMatches(PyExc_SystemExit)) {
        // PyErr_Print would end the whole process here.
        PyErr_Clear();
        VESK_LOG(QStringLiteral("The script ended with SystemExit"));
        return;
    }
    PyErr_Print();
}

void flushStandardStreams()
{
    for (const char *name : { "stdout", "stderr" }) {
        PyObject *stream = PySys_GetObject(name);
        if (!stream || stream == Py_None)
            continue;
        PyObject *result = PyObject_CallMethod(stream, "flush", nullptr);
        Py_XDECREF(result);
        PyErr_Clear();
    }
}

// Raises SystemExit in the script's thread and wakes its sleep.
void interrupt(unsigned long threadId)
{
    const PyGILState_STATE gil = PyGILState_Ensure();
    runInGuard("_stop.set()\n");
    PyThreadState_SetAsyncExc(threadId, PyExc_SystemExit);
    PyGILState_Release(gil);
}

// Waits for the script to end, to be stopped or to reach the limit; from then on it
// interrupts the script every tenth of a second until it has ended, since a script
// may catch SystemExit.
void watchOver(std::chrono::seconds limit)
{
    RunWatch &watch = runWatch();
    std::unique_lock<std::mutex> locked(watch.lock);
    watch.changed.wait_for(locked, limit, [&watch] { return !watch.running || watch.stopAsked; });
    if (!watch.running)
        return;
    VESK_LOG(watch.stopAsked ? QStringLiteral("The script is stopped")
                             : QStringLiteral("The script ran for %1 s and is stopped").arg(limit.count()));
    while (watch.running) {
        const unsigned long threadId = watch.threadId;
        locked.unlock();
        interrupt(threadId);
        locked.lock();
        watch.changed.wait_for(locked, std::chrono::milliseconds(100), [&watch] { return !watch.running; });
    }
}

void runMain(const QByteArray &text)
{
    if (PyObject *globals = freshMainDictionary()) {
        PyObject *result = PyRun_StringFlags(text.constData(), Py_file_input, globals, globals, nullptr);
        if (result)
            Py_DECREF(result);
        else
            reportScriptError();
        Py_DECREF(globals);
    } else {
        PyErr_Print();
    }
}

void setRunning(bool running, unsigned long threadId)
{
    RunWatch &watch = runWatch();
    {
        const std::lock_guard<std::mutex> locked(watch.lock);
        watch.running = running;
        watch.stopAsked = false;
        watch.threadId = threadId;
    }
    watch.changed.notify_all();
}

} // namespace

void VeskPythonScript::run(const QString &source, int timeLimitSeconds)
{
    static std::mutex runLock;
    const std::lock_guard<std::mutex> serial(runLock);
    if (!interpreterReady())
        return;
    const QByteArray text = source.toUtf8();
    const PyGILState_STATE gil = PyGILState_Ensure();
    const unsigned long threadId = PyThread_get_thread_ident();
    const int limit = timeLimitSeconds > 0 ? timeLimitSeconds : kDefaultTimeLimitSeconds;
    runInGuard(QByteArray("_begin(") + QByteArray::number(limit) + ")\n");
    setRunning(true, threadId);
    std::thread watchdog(watchOver, std::chrono::seconds(limit));
    runMain(text);
    setRunning(false, 0);
    // The watchdog may be waiting for the interpreter to interrupt once more.
    PyThreadState *self = PyEval_SaveThread();
    watchdog.join();
    PyEval_RestoreThread(self);
    PyThreadState_SetAsyncExc(threadId, nullptr); // an interrupt that came too late
    flushStandardStreams();
    PyGILState_Release(gil);
}

void VeskPythonScript::stopRunningScript()
{
    RunWatch &watch = runWatch();
    {
        const std::lock_guard<std::mutex> locked(watch.lock);
        if (!watch.running)
            return;
        watch.stopAsked = true;
    }
    watch.changed.notify_all();
}

void VeskPythonScript::runPostActionScript()
{
    VESK_LOG(QStringLiteral("Now sending e-mail"));
    const QVariant script = VeskSettings::shared().value(QStringLiteral("ExtPythonMailer"));
    if (script.isValid())
        run(script.toString(), VeskSettings::shared().integerForKey(kTimeLimitKey));
    VESK_LOG(QStringLiteral("Done"));
}
