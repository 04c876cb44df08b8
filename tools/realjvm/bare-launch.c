/* A bare Windows program that starts a Java class the shortest way: loads
 * a VM library by its full path, creates the VM with a class path, calls
 * the class's main with the remaining arguments and destroys the VM. It
 * proves the bridge in a runtime home and is the baseline the launcher's
 * start-up is measured against.
 *
 * Usage: bare-launch JVM_DLL CLASS_PATH MAIN_CLASS [ARGUMENT...]
 * Exit code: 0, or 1 when the VM cannot be started or main throws. */
#include <jni.h>
#include <stdio.h>
#include <string.h>
#include <windows.h>

typedef jint(JNICALL *create_vm_function)(JavaVM **vm, void **penv, void *args);

static int fail(const char *what, const char *detail)
{
    fprintf(stderr, "bare-launch: %s %s\n", what, detail);
    return 1;
}

static jobjectArray string_array(JNIEnv *env, int count, char **texts)
{
    jclass string_class = (*env)->FindClass(env, "java/lang/String");
    jobjectArray array = (*env)->NewObjectArray(env, count, string_class, NULL);
    for (int i = 0; i < count; i++)
        (*env)->SetObjectArrayElement(env, array, i, (*env)->NewStringUTF(env, texts[i]));
    return array;
}

static int run_main(JNIEnv *env, char *main_class, int argc, char **argv)
{
    for (char *c = main_class; *c; c++)
        if (*c == '.')
            *c = '/';
    jclass cls = (*env)->FindClass(env, main_class);
    jmethodID main = cls ? (*env)->GetStaticMethodID(env, cls, "main", "([Ljava/lang/String;)V") : NULL;
    if (!main) {
        (*env)->ExceptionDescribe(env);
        return fail("no main method in", main_class);
    }
    (*env)->CallStaticVoidMethod(env, cls, main, string_array(env, argc, argv));
    if ((*env)->ExceptionOccurred(env)) {
        (*env)->ExceptionDescribe(env);
        return 1;
    }
    return 0;
}

int main(int argc, char **argv)
{
    static char class_path[8192];
    JavaVM *vm;
    JNIEnv *env;
    if (argc < 4)
        return fail("usage:", "bare-launch JVM_DLL CLASS_PATH MAIN_CLASS [ARGUMENT...]");
    HMODULE library = LoadLibraryA(argv[1]);
    if (!library)
        return fail("cannot load", argv[1]);
    create_vm_function create = (create_vm_function)(void (*)(void))GetProcAddress(library, "JNI_CreateJavaVM");
    if (!create)
        return fail("no JNI_CreateJavaVM in", argv[1]);
    snprintf(class_path, sizeof class_path, "-Djava.class.path=%s", argv[2]);
    JavaVMOption option = { class_path, NULL };
    JavaVMInitArgs args = { JNI_VERSION_1_2, 1, &option, JNI_TRUE };
    if (create(&vm, (void **)&env, &args) != JNI_OK)
        return fail("cannot create a VM with", argv[1]);
    int code = run_main(env, argv[3], argc - 4, argv + 4);
    if (code == 0)
        (*vm)->DestroyJavaVM(vm);
    return code;
}
