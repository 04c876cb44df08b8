/* Exercises the bridge from the Windows side the way launchers use JNI,
 * against the BridgeProbe class of the end-to-end tests, and prints one
 * line per check for the tests to read:
 *   variadic, array   a String-returning static method called through the
 *                     variadic and the jvalue-array form, mixed argument types
 *   path              a string that is an absolute Windows path, as Java sees it
 *   exception         a Java exception seen and cleared from Windows code
 *   vm                GetJavaVM hands out the VM that creation returned
 *   thread            the same call from a thread attached with CreateThread
 *   fault             a fault Wine owns is still handled by Wine
 *   depth             recursion depth until StackOverflowError on this thread
 * Mode "unbridged" instead calls a slot the bridge does not serve. With
 * "--directory DIR" first, the program moves to the Windows directory DIR
 * before it creates the VM, as a launcher does.
 *
 * Usage: bridge-check [--directory DIR] JVM_DLL CLASS_PATH checks|unbridged [VM OPTION...] */
#include <jni.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

typedef jint(JNICALL *create_vm_function)(JavaVM **vm, void **penv, void *args);

static JavaVM *vm;
static JNIEnv *env;
static jclass probe;

static void report(const char *check, const char *value)
{
    printf("%s: %s\n", check, value);
    fflush(stdout);
}

static void stop(const char *what)
{
    fprintf(stderr, "bridge-check: %s\n", what);
    exit(1);
}

static void create_vm(const char *library_path, const char *class_path, int count, char **options)
{
    static char class_path_option[8192];
    HMODULE library = LoadLibraryA(library_path);
    create_vm_function create = library ? (create_vm_function)(void (*)(void))GetProcAddress(library, "JNI_CreateJavaVM") : NULL;
    if (!create)
        stop("cannot bind JNI_CreateJavaVM");
    JavaVMOption *list = calloc(count + 1, sizeof *list);
    snprintf(class_path_option, sizeof class_path_option, "-Djava.class.path=%s", class_path);
    list[0].optionString = class_path_option;
    for (int i = 0; i < count; i++)
        list[i + 1].optionString = options[i];
    JavaVMInitArgs args = { JNI_VERSION_1_2, count + 1, list, JNI_TRUE };
    if (create(&vm, (void **)&env, &args) != JNI_OK)
        stop("cannot create the VM");
    probe = (*env)->FindClass(env, "BridgeProbe");
    if (!probe)
        stop("no class BridgeProbe");
}

static jmethodID probe_method(JNIEnv *e, const char *name, const char *signature)
{
    jmethodID method = (*e)->GetStaticMethodID(e, probe, name, signature);
    if (!method)
        stop(name);
    return method;
}

static const char describe_signature[] = "(IJDZLjava/lang/String;)Ljava/lang/String;";
static const jlong wide_number = ((jlong)1 << 40) + 5;
static const jchar e_acute[] = { 0x00E9 };

static void report_string(JNIEnv *e, const char *check, jstring text)
{
    const char *utf = text ? (*e)->GetStringUTFChars(e, text, NULL) : NULL;
    report(check, utf ? utf : "(null)");
    if (utf)
        (*e)->ReleaseStringUTFChars(e, text, utf);
}

static void check_call(JNIEnv *e, const char *check, jstring text)
{
    jmethodID describe = probe_method(e, "describe", describe_signature);
    report_string(e, check, (*e)->CallStaticObjectMethod(e, probe, describe, 7, wide_number, 2.5, JNI_TRUE, text));
}

static void check_variadic_call(JNIEnv *e, const char *check)
{
    check_call(e, check, (*e)->NewString(e, e_acute, 1));
}

static void check_path_string(void)
{
    static const jchar windows_directory[] = { 'C', ':', '\\', 'w', 'i', 'n', 'd', 'o', 'w', 's' };
    check_call(env, "path", (*env)->NewString(env, windows_directory, 10));
}

static void check_array_call(void)
{
    jmethodID describe = probe_method(env, "describe", describe_signature);
    jvalue values[5];
    values[0].i = 7;
    values[1].j = wide_number;
    values[2].d = 2.5;
    values[3].z = JNI_TRUE;
    values[4].l = (*env)->NewString(env, e_acute, 1);
    report_string(env, "array", (*env)->CallStaticObjectMethodA(env, probe, describe, values));
}

static void check_exception(void)
{
    (*env)->CallStaticVoidMethod(env, probe, probe_method(env, "fail", "()V"));
    int seen = (*env)->ExceptionOccurred(env) != NULL;
    (*env)->ExceptionClear(env);
    int cleared = (*env)->ExceptionOccurred(env) == NULL;
    report("exception", seen && cleared ? "seen and cleared" : "missed");
}

static void check_vm(void)
{
    JavaVM *handed_out = NULL;
    (*env)->GetJavaVM(env, &handed_out);
    report("vm", handed_out == vm ? "same" : "different");
}

static DWORD WINAPI attached_thread(void *unused)
{
    JNIEnv *thread_env;
    (void)unused;
    if ((*vm)->AttachCurrentThread(vm, (void **)&thread_env, NULL) != JNI_OK)
        stop("cannot attach a thread");
    check_variadic_call(thread_env, "thread");
    (*vm)->DetachCurrentThread(vm);
    return 0;
}

static void check_thread(void)
{
    HANDLE thread = CreateThread(NULL, 0, attached_thread, NULL, 0, NULL);
    WaitForSingleObject(thread, INFINITE);
}

static void check_fault(void)
{
    report("fault", IsBadReadPtr((void *)16, 4) ? "handled" : "not raised");
}

static void check_depth(void)
{
    char depth[32];
    snprintf(depth, sizeof depth, "%ld", (long)(*env)->CallStaticIntMethod(env, probe, probe_method(env, "depth", "()I")));
    report("depth", depth);
}

static void call_unbridged_slot(void)
{
    JNINativeMethod none = { "none", "()V", NULL };
    (*env)->RegisterNatives(env, probe, &none, 1);
    report("unbridged", "returned");
}

int main(int argc, char **argv)
{
    if (argc > 2 && strcmp(argv[1], "--directory") == 0) {
        if (!SetCurrentDirectoryA(argv[2]))
            stop("cannot move to the directory");
        argc -= 2;
        argv += 2;
    }
    if (argc < 4)
        stop("usage: bridge-check [--directory DIR] JVM_DLL CLASS_PATH checks|unbridged [VM OPTION...]");
    create_vm(argv[1], argv[2], argc - 4, argv + 4);
    if (strcmp(argv[3], "unbridged") == 0) {
        call_unbridged_slot();
        return 0;
    }
    check_variadic_call(env, "variadic");
    check_array_call();
    check_path_string();
    check_exception();
    check_vm();
    check_thread();
    check_fault();
    check_depth();
    (*env)->CallStaticVoidMethod(env, probe, probe_method(env, "printProperties", "()V"));
    (*vm)->DestroyJavaVM(vm);
    return 0;
}
