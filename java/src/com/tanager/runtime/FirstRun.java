// FirstRun.java — the first-run step of an installer, called by the native
// launcher before the application when the first-run marker exists.
package com.tanager.runtime;

import java.io.File;
import java.lang.reflect.InvocationTargetException;
import java.lang.reflect.Method;
import java.lang.reflect.Modifier;

/**
 * The launcher calls {@link #firstRun} when the file ".tanager/firstrun"
 * exists below the application directory, and starts the application only
 * when it returns true. The step runs the hook class named by the system
 * property {@value #HOOK_PROPERTY}, if any: its public static method
 * {@code firstRun()} returns whether the application should start ({@code
 * void} means yes). Once the step lets the application start, the marker is
 * deleted, so it runs once; otherwise it stays for the next start.
 */
public final class FirstRun {
    /** System property naming the hook class (dotted). */
    public static final String HOOK_PROPERTY = "tanager.firstRunHook";
    /** System property naming the application directory; by default the launcher's directory. */
    public static final String APPLICATION_DIRECTORY_PROPERTY = "tanager.applicationDir";
    /** Set by the launcher: the full path of its executable. */
    static final String MODULE_NAME_PROPERTY = "kestrel.moduleName";

    private FirstRun() {}

    public static boolean firstRun() throws Throwable {
        String hook = System.getProperty(HOOK_PROPERTY, "").trim();
        boolean start = hook.isEmpty() || runHook(hook);
        if (start) {
            File marker = markerFile();
            if (marker != null) marker.delete();
        }
        return start;
    }

    private static boolean runHook(String className) throws Throwable {
        Class<?> hook = Class.forName(className, true, ClassLoader.getSystemClassLoader());
        Method method = hook.getMethod("firstRun");
        Class<?> result = method.getReturnType();
        if (!Modifier.isStatic(method.getModifiers()) || (result != boolean.class && result != void.class)) {
            throw new NoSuchMethodException(className + " has no public static boolean or void firstRun()");
        }
        method.setAccessible(true);
        try {
            Object started = method.invoke(null);
            return result == void.class || (Boolean) started;
        } catch (InvocationTargetException e) {
            throw e.getCause();
        }
    }

    /** The marker below the application directory, or null when that directory is unknown. */
    static File markerFile() {
        String directory = System.getProperty(APPLICATION_DIRECTORY_PROPERTY);
        if (directory == null) {
            String module = System.getProperty(MODULE_NAME_PROPERTY);
            if (module == null) return null;
            directory = new File(module).getParent();
            if (directory == null) return null;
        }
        return new File(new File(directory, ".tanager"), "firstrun");
    }
}
