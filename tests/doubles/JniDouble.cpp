// JniDouble.cpp — the JNI side of the jvm.dll double. It knows four
// classes (the launcher's "com/kestrel/runtime/WinLauncher" with its main and
// its nested ApplicationFailed, "com/tanager/runtime/FirstRun" with
// firstRun()Z, and "java/lang/String"),
// records every call the launcher makes, and behaves as the control file
// "jni.cfg" beside the library says, one setting per line:
//   record <path>          the record file (default: jni-record.txt beside
//                          the library); one JSON object per line
//   create_fails <code>    JNI_CreateJavaVM returns this code
//   missing_class <name>   FindClass does not find this class
//   missing_method <name>  GetStaticMethodID does not find this method
//   main_throws            main ends with a pending exception
//   main_application_fails main ends with ApplicationFailed: the Java side
//                          reported the application's own exception
//   main_exits <code>      main ends the process with this code
//   main_window <seconds>  main shows a window and keeps it for that long
//   first_run_throws       firstRun ends with a pending exception
//   first_run_returns <0|1> what firstRun returns (default 1)
//   array_fails            NewObjectArray returns null
//   string_fails           NewString returns null
// Strings are recorded with \uXXXX escapes for every unit outside printable
// ASCII: option bytes as the code of the same value, UTF-16 units exactly.
#include "JniDouble.h"

#include <windows.h>

#include <array>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "DoubleLog.h"
#include "jni_slot_names.h"

namespace {

// Exit code of a call through a slot the double does not implement.
constexpr int UnexpectedCallExitCode = 99;

struct Control {
    std::string record;
    int createResult = 0;
    std::vector<std::string> missingClasses;
    std::vector<std::string> missingMethods;
    bool mainThrows = false;
    bool mainApplicationFails = false;
    bool mainExits = false;
    int mainExitCode = 0;
    int mainWindowSeconds = 0;
    bool firstRunThrows = false;
    bool firstRunReturns = true;
    bool arrayFails = false;
    bool stringFails = false;
};

Control TheControl;

// The objects the double hands out; jobject handles point at them.
struct Object {
    enum Kind { Class, String, Array, Throwable } kind;
    std::string name;               // class name, or the throwable's text
    std::vector<jchar> units;       // String
    std::vector<jobject> elements;  // Array
    const Object* throwableClass = nullptr;  // Throwable: its class, when the double knows it
};

Object WinLauncherClass{Object::Class, "com/kestrel/runtime/WinLauncher", {}, {}};
Object ApplicationFailedClass{Object::Class, "com/kestrel/runtime/WinLauncher$ApplicationFailed", {}, {}};
Object FirstRunClass{Object::Class, "com/tanager/runtime/FirstRun", {}, {}};
Object StringClass{Object::Class, "java/lang/String", {}, {}};
Object* const KnownClasses[] = {&WinLauncherClass, &ApplicationFailedClass, &FirstRunClass, &StringClass};

struct Method {
    Object* owner;
    const char* name;
    const char* signature;
};
Method MainMethod{&WinLauncherClass, "main", "([Ljava/lang/String;)V"};
Method FirstRunMethod{&FirstRunClass, "firstRun", "()Z"};
Method* const KnownMethods[] = {&MainMethod, &FirstRunMethod};

Object* Pending = nullptr;

Object* AsObject(jobject handle) { return reinterpret_cast<Object*>(handle); }
jobject AsHandle(Object* object) { return reinterpret_cast<jobject>(object); }

void ReadControl(HMODULE module) {
    char directory[MAX_PATH * 4];
    ModuleDirectory(module, directory, sizeof directory - 32);
    TheControl.record = std::string(directory) + "jni-record.txt";
    FILE* file = fopen((std::string(directory) + "jni.cfg").c_str(), "r");
    if (!file) return;
    char line[4096];
    while (fgets(line, sizeof line, file)) {
        line[strcspn(line, "\r\n")] = '\0';
        char* value = strchr(line, ' ');
        if (value) *value++ = '\0';
        std::string setting = line, text = value ? value : "";
        if (setting == "record") TheControl.record = text;
        else if (setting == "create_fails") TheControl.createResult = atoi(text.c_str());
        else if (setting == "missing_class") TheControl.missingClasses.push_back(text);
        else if (setting == "missing_method") TheControl.missingMethods.push_back(text);
        else if (setting == "main_throws") TheControl.mainThrows = true;
        else if (setting == "main_application_fails") TheControl.mainApplicationFails = true;
        else if (setting == "main_exits") TheControl.mainExits = true, TheControl.mainExitCode = atoi(text.c_str());
        else if (setting == "main_window") TheControl.mainWindowSeconds = atoi(text.c_str());
        else if (setting == "first_run_throws") TheControl.firstRunThrows = true;
        else if (setting == "first_run_returns") TheControl.firstRunReturns = text != "0";
        else if (setting == "array_fails") TheControl.arrayFails = true;
        else if (setting == "string_fails") TheControl.stringFails = true;
    }
    fclose(file);
}

// A JSON string of code units, escaped outside printable ASCII.
template <typename Unit>
std::string Quoted(const Unit* units, size_t count) {
    std::string text = "\"";
    for (size_t i = 0; i < count; ++i) {
        unsigned code = unsigned(units[i]) & (sizeof(Unit) == 1 ? 0xFFu : 0xFFFFu);
        if (code == '"' || code == '\\') {
            text += '\\';
            text += char(code);
        } else if (code >= 0x20 && code < 0x7F) {
            text += char(code);
        } else {
            char escape[8];
            snprintf(escape, sizeof escape, "\\u%04x", code);
            text += escape;
        }
    }
    return text + "\"";
}

std::string Quoted(const char* text) { return Quoted(text, strlen(text)); }

// Appends one JSON object (the text between the braces) to the record.
void Record(const std::string& fields) {
    FILE* file = fopen(TheControl.record.c_str(), "ab");
    if (!file) return;
    fprintf(file, "{%s}\n", fields.c_str());
    fclose(file);
}

[[noreturn]] void Unexpected(const char* table, const char* slot) {
    fprintf(stderr, "JNI double: unexpected call of %s slot %s\n", table, slot);
    fflush(stderr);
    Record("\"call\": \"unexpected\", \"table\": " + Quoted(table) + ", \"slot\": " + Quoted(slot));
    ExitProcess(UnexpectedCallExitCode);
}

// One trap per slot: called with whatever arguments, it never returns, so
// the calling convention's stack clean-up does not matter.
template <size_t Slot>
void JNICALL EnvTrap() {
    Unexpected("JNIEnv", EnvSlotNames[Slot]);
}
template <size_t Slot>
void JNICALL InvokeTrap() {
    Unexpected("JavaVM", InvokeSlotNames[Slot]);
}

template <size_t... Slots>
std::array<void*, sizeof...(Slots)> EnvTraps(std::index_sequence<Slots...>) {
    return {{reinterpret_cast<void*>(&EnvTrap<Slots>)...}};
}
template <size_t... Slots>
std::array<void*, sizeof...(Slots)> InvokeTraps(std::index_sequence<Slots...>) {
    return {{reinterpret_cast<void*>(&InvokeTrap<Slots>)...}};
}

constexpr size_t EnvSlots = sizeof EnvSlotNames / sizeof EnvSlotNames[0];
constexpr size_t InvokeSlots = sizeof InvokeSlotNames / sizeof InvokeSlotNames[0];
static_assert(sizeof(JNINativeInterface_) == EnvSlots * sizeof(void*), "slot names do not match jni.h");
static_assert(sizeof(JNIInvokeInterface_) == InvokeSlots * sizeof(void*), "slot names do not match jni.h");

void Throw(const std::string& text, const Object* throwableClass = nullptr) {
    Pending = new Object{Object::Throwable, text, {}, {}, throwableClass};
}

bool Listed(const std::vector<std::string>& list, const char* name) {
    for (const std::string& entry : list)
        if (entry == name) return true;
    return false;
}

jclass JNICALL FindClass(JNIEnv*, const char* name) {
    Record("\"call\": \"FindClass\", \"name\": " + Quoted(name));
    if (!Listed(TheControl.missingClasses, name))
        for (Object* known : KnownClasses)
            if (known->name == name) return reinterpret_cast<jclass>(known);
    Throw(std::string("java.lang.NoClassDefFoundError: ") + name);
    return nullptr;
}

jmethodID JNICALL GetStaticMethodID(JNIEnv*, jclass owner, const char* name, const char* signature) {
    Record("\"call\": \"GetStaticMethodID\", \"class\": " + Quoted(AsObject(owner)->name.c_str()) +
           ", \"name\": " + Quoted(name) + ", \"signature\": " + Quoted(signature));
    if (!Listed(TheControl.missingMethods, name))
        for (Method* known : KnownMethods)
            if (known->owner == AsObject(owner) && strcmp(known->name, name) == 0 &&
                strcmp(known->signature, signature) == 0)
                return reinterpret_cast<jmethodID>(known);
    Throw(std::string("java.lang.NoSuchMethodError: ") + name);
    return nullptr;
}

jobjectArray JNICALL NewObjectArray(JNIEnv*, jsize length, jclass elementClass, jobject initial) {
    if (AsObject(elementClass) != &StringClass || initial) Unexpected("JNIEnv", "NewObjectArray (arguments)");
    if (TheControl.arrayFails) {
        Throw("java.lang.OutOfMemoryError: array");
        return nullptr;
    }
    Object* array = new Object{Object::Array, "", {}, std::vector<jobject>(size_t(length), nullptr)};
    return reinterpret_cast<jobjectArray>(array);
}

jstring JNICALL NewString(JNIEnv*, const jchar* units, jsize length) {
    if (TheControl.stringFails) {
        Throw("java.lang.OutOfMemoryError: string");
        return nullptr;
    }
    Object* string = new Object{Object::String, "", std::vector<jchar>(units, units + length), {}};
    return reinterpret_cast<jstring>(string);
}

void JNICALL SetObjectArrayElement(JNIEnv*, jobjectArray array, jsize index, jobject value) {
    Object* target = AsObject(array);
    if (target->kind != Object::Array || index < 0 || size_t(index) >= target->elements.size())
        Unexpected("JNIEnv", "SetObjectArrayElement (index out of range)");
    target->elements[size_t(index)] = value;
}

std::string ArgumentList(jobject array) {
    std::string list = "[";
    for (jobject element : AsObject(array)->elements) {
        if (list.size() > 1) list += ", ";
        const std::vector<jchar>& units = element ? AsObject(element)->units : std::vector<jchar>();
        list += element ? Quoted(units.data(), units.size()) : "null";
    }
    return list + "]";
}

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

// A visible top-level window, kept for `seconds` while messages are served.
void ShowWindowFor(int seconds) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"KestrelJniDoubleWindow";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowW(L"KestrelJniDoubleWindow", L"JNI double application", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                10, 10, 200, 100, nullptr, nullptr, windowClass.hInstance, nullptr);
    DWORD end = GetTickCount() + DWORD(seconds) * 1000;
    for (DWORD now = GetTickCount(); now < end; now = GetTickCount()) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, end - now, QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    }
    DestroyWindow(window);
}

void CheckMethod(jclass owner, jmethodID method, Method& expected) {
    if (reinterpret_cast<Method*>(method) != &expected || AsObject(owner) != expected.owner)
        Unexpected("JNIEnv", "a static call with the wrong class or method");
}

void JNICALL CallStaticVoidMethod(JNIEnv*, jclass owner, jmethodID method, ...) {
    CheckMethod(owner, method, MainMethod);
    va_list arguments;
    va_start(arguments, method);
    jobject array = va_arg(arguments, jobject);
    va_end(arguments);
    Record("\"call\": \"main\", \"arguments\": " + ArgumentList(array));
    if (TheControl.mainWindowSeconds > 0) ShowWindowFor(TheControl.mainWindowSeconds);
    if (TheControl.mainExits) ExitProcess(UINT(TheControl.mainExitCode));
    if (TheControl.mainThrows) Throw("java.lang.IllegalStateException: thrown by main");
    if (TheControl.mainApplicationFails) {
        // The Java side prints the application's exception as java.exe does.
        fprintf(stderr, "Exception in thread \"main\" java.lang.IllegalStateException: thrown by the application\n");
        fflush(stderr);
        Throw("com.kestrel.runtime.WinLauncher$ApplicationFailed", &ApplicationFailedClass);
    }
}

jboolean JNICALL CallStaticBooleanMethod(JNIEnv*, jclass owner, jmethodID method, ...) {
    CheckMethod(owner, method, FirstRunMethod);
    Record("\"call\": \"firstRun\"");
    if (TheControl.firstRunThrows) {
        Throw("java.lang.IllegalStateException: thrown by firstRun");
        return JNI_FALSE;
    }
    return TheControl.firstRunReturns ? JNI_TRUE : JNI_FALSE;
}

jthrowable JNICALL ExceptionOccurred(JNIEnv*) { return reinterpret_cast<jthrowable>(Pending); }

jboolean JNICALL IsInstanceOf(JNIEnv*, jobject object, jclass type) {
    return object && AsObject(object)->throwableClass == AsObject(type) ? JNI_TRUE : JNI_FALSE;
}

void JNICALL ExceptionClear(JNIEnv*) {
    if (Pending) Record("\"call\": \"ExceptionClear\", \"exception\": " + Quoted(Pending->name.c_str()));
    Pending = nullptr;
}

void JNICALL ExceptionDescribe(JNIEnv*) {
    if (!Pending) return;
    Record("\"call\": \"ExceptionDescribe\", \"exception\": " + Quoted(Pending->name.c_str()));
    fprintf(stderr, "Exception in thread \"main\" %s\n", Pending->name.c_str());
    fflush(stderr);
    Pending = nullptr;
}

jint JNICALL DestroyJavaVM(JavaVM*) {
    Record("\"call\": \"DestroyJavaVM\"");
    return JNI_OK;
}

JNINativeInterface_ EnvTable;
JNIInvokeInterface_ InvokeTable;
JNIEnv_ TheEnv;
JavaVM_ TheVM;

void FillTables() {
    std::array<void*, EnvSlots> envTraps = EnvTraps(std::make_index_sequence<EnvSlots>());
    std::array<void*, InvokeSlots> invokeTraps = InvokeTraps(std::make_index_sequence<InvokeSlots>());
    memcpy(&EnvTable, envTraps.data(), sizeof EnvTable);
    memcpy(&InvokeTable, invokeTraps.data(), sizeof InvokeTable);
    EnvTable.reserved0 = EnvTable.reserved1 = EnvTable.reserved2 = EnvTable.reserved3 = nullptr;
    InvokeTable.reserved0 = InvokeTable.reserved1 = InvokeTable.reserved2 = nullptr;
    EnvTable.FindClass = FindClass;
    EnvTable.GetStaticMethodID = GetStaticMethodID;
    EnvTable.NewObjectArray = NewObjectArray;
    EnvTable.NewString = NewString;
    EnvTable.SetObjectArrayElement = SetObjectArrayElement;
    EnvTable.CallStaticVoidMethod = CallStaticVoidMethod;
    EnvTable.CallStaticBooleanMethod = CallStaticBooleanMethod;
    EnvTable.ExceptionOccurred = ExceptionOccurred;
    EnvTable.ExceptionDescribe = ExceptionDescribe;
    EnvTable.ExceptionClear = ExceptionClear;
    EnvTable.IsInstanceOf = IsInstanceOf;
    InvokeTable.DestroyJavaVM = DestroyJavaVM;
    TheEnv.functions = &EnvTable;
    TheVM.functions = &InvokeTable;
}

HMODULE OwnModule() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&CreateJavaVMDouble), &module);
    return module;
}

std::string OptionList(const JavaVMInitArgs& initArgs) {
    std::string list = "[";
    for (jint i = 0; i < initArgs.nOptions; ++i) {
        if (i > 0) list += ", ";
        const JavaVMOption& option = initArgs.options[i];
        list += Quoted(option.optionString);
        if (option.extraInfo) list += ", \"(extraInfo set)\"";
    }
    return list + "]";
}

}  // namespace

jint CreateJavaVMDouble(JavaVM** vm, void** env, void* args) {
    ReadControl(OwnModule());
    const JavaVMInitArgs& initArgs = *static_cast<JavaVMInitArgs*>(args);
    Record("\"call\": \"JNI_CreateJavaVM\", \"version\": " + std::to_string(initArgs.version) +
           ", \"ignoreUnrecognized\": " + (initArgs.ignoreUnrecognized ? "true" : "false") +
           ", \"options\": " + OptionList(initArgs));
    if (TheControl.createResult != 0) return TheControl.createResult;
    FillTables();
    *vm = &TheVM;
    *env = &TheEnv;
    return JNI_OK;
}
