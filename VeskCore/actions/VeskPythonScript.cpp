#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include "actions/VeskPythonScript.h"

#include "platform/VeskSettings.h"
#include "report/VeskNSLog.h"

#include <mutex>

namespace {

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

} // namespace

void VeskPythonScript::run(const QString &source)
{
    static std::mutex runLock;
    const std::lock_guard<std::mutex> serial(runLock);
    if (!interpreterReady())
        return;
    const QByteArray text = source.toUtf8();
    const PyGILState_STATE gil = PyGILState_Ensure();
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
    flushStandardStreams();
    PyGILState_Release(gil);
}

void VeskPythonScript::runPostActionScript()
{
    VESK_LOG(QStringLiteral("Now sending e-mail"));
    const QVariant script = VeskSettings::shared().value(QStringLiteral("ExtPythonMailer"));
    if (script.isValid())
        run(script.toString());
    VESK_LOG(QStringLiteral("Done"));
}
