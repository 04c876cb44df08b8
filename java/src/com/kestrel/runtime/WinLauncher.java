// WinLauncher.java — the Java-side entry class of the native launcher: sets
// up the log files and starts the configured application's main class.
package com.kestrel.runtime;

import java.io.FileOutputStream;
import java.io.IOException;
import java.io.PrintStream;
import java.lang.reflect.InvocationTargetException;
import java.lang.reflect.Method;
import java.lang.reflect.Modifier;
import java.util.Arrays;

/**
 * The launcher calls {@link #main} with five fixed arguments followed by the
 * application's own arguments:
 * <ol start="0">
 * <li>"true" for a windowed application, otherwise "false";</li>
 * <li>the application's main class, dotted;</li>
 * <li>the file that receives standard error, or "" to keep it;</li>
 * <li>the file that receives standard output, or "" to keep it;</li>
 * <li>"true" to report each step on standard error.</li>
 * </ol>
 * Log files are appended to and created when missing. A main class that
 * cannot be started is reported by a {@link LaunchException}, which the
 * launcher prints before it ends with its message for a start that did not
 * reach the application. An exception that ends the application's main goes
 * to the thread's uncaught-exception handler, as java.exe hands it there,
 * and then {@link ApplicationFailed} tells the launcher to end with status 1
 * once the application's other threads have ended.
 */
public final class WinLauncher {
    /** The number of arguments in front of the application's own. */
    public static final int FIXED_ARGUMENTS = 5;

    private WinLauncher() {}

    /** A main class that is not configured, not found or has no main method. */
    public static final class LaunchException extends Exception {
        private static final long serialVersionUID = 1L;

        LaunchException(String message, Throwable cause) {
            super(message, cause);
        }
    }

    /**
     * The application's main ended with an exception, which has been
     * reported already; carries no trace of its own.
     */
    public static final class ApplicationFailed extends Exception {
        private static final long serialVersionUID = 1L;

        ApplicationFailed(Throwable cause) {
            super("the application's main ended with " + cause, cause, false, false);
        }
    }

    public static void main(String[] args) throws LaunchException, ApplicationFailed, IllegalAccessException {
        if (args.length < FIXED_ARGUMENTS) {
            throw new IllegalArgumentException("the launcher passes " + FIXED_ARGUMENTS
                    + " leading arguments, got " + args.length);
        }
        boolean verbose = "true".equals(args[4]);
        redirectStandardError(args[2], verbose);
        redirectStandardOutput(args[3], verbose);
        String[] applicationArguments = Arrays.copyOfRange(args, FIXED_ARGUMENTS, args.length);
        Method main = findMain(args[1]);
        if (verbose) {
            report("starting " + args[1] + " (windowed: " + args[0] + ") with "
                    + applicationArguments.length + " argument(s)");
        }
        try {
            main.invoke(null, (Object) applicationArguments);
        } catch (InvocationTargetException e) {
            Thread current = Thread.currentThread();
            current.getUncaughtExceptionHandler().uncaughtException(current, e.getCause());
            throw new ApplicationFailed(e.getCause());
        }
    }

    private static void report(String text) {
        System.err.println("kestrel: " + text);
    }

    private static void redirectStandardError(String file, boolean verbose) {
        PrintStream log = openLog(file, "standard error", verbose);
        if (log != null) System.setErr(log);
    }

    private static void redirectStandardOutput(String file, boolean verbose) {
        PrintStream log = openLog(file, "standard output", verbose);
        if (log != null) System.setOut(log);
    }

    /** The log file opened for appending, or null when none is named or it cannot be opened. */
    private static PrintStream openLog(String file, String stream, boolean verbose) {
        if (file.isEmpty()) return null;
        try {
            PrintStream log = new PrintStream(new FileOutputStream(file, true), true);
            if (verbose) report(stream + " goes to " + file);
            return log;
        } catch (IOException e) {
            report("cannot open " + file + " for " + stream + ", keeping it: " + e.getMessage());
            return null;
        }
    }

    /** The public static void main(String[]) of the named class, loaded by the system class loader. */
    static Method findMain(String className) throws LaunchException {
        if (className.isEmpty()) throw new LaunchException("no main class is configured", null);
        Class<?> mainClass;
        try {
            mainClass = Class.forName(className, false, ClassLoader.getSystemClassLoader());
        } catch (ClassNotFoundException | LinkageError e) {
            throw new LaunchException("main class " + className + " could not be loaded from the class path", e);
        }
        try {
            Method main = mainClass.getMethod("main", String[].class);
            if (!Modifier.isStatic(main.getModifiers()) || main.getReturnType() != void.class) {
                throw new NoSuchMethodException("main is not static void");
            }
            main.setAccessible(true);
            return main;
        } catch (NoSuchMethodException e) {
            throw new LaunchException("main class " + className
                    + " has no method public static void main(String[])", e);
        }
    }
}
