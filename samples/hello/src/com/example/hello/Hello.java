package com.example.hello;

/**
 * The sample application: prints what it received from its launcher, one
 * item per line, and exits.
 *
 * <pre>
 * argument[0]=...                 each argument, characters outside printable
 *                                 ASCII written as \\uXXXX
 * property kestrel.moduleName=... each launcher property that is set, and the
 *                                 sample's own properties (hello.*)
 * class path=...                  the class path as the VM has it
 * working directory=...           the directory the application runs in
 * </pre>
 *
 * The argument "--exit N" ends the VM with status N, "--throw" ends main with
 * an exception, and "--stderr TEXT" writes TEXT to the error stream. As an
 * installer's first-run hook, the class announces the first run.
 */
public final class Hello {
    private static final String[] LAUNCHER_PROPERTIES = {
        "kestrel.semaphoreName", "kestrel.manualJre", "kestrel.isTanager",
        "kestrel.moduleName", "kestrel.processCommFile", "kestrel.tempDir",
    };

    private Hello() {
    }

    public static void main(String[] args) {
        System.out.println("hello from the sample application");
        for (int i = 0; i < args.length; i++) {
            System.out.println("argument[" + i + "]=" + escaped(args[i]));
        }
        for (String name : LAUNCHER_PROPERTIES) {
            printProperty(name);
        }
        for (String name : System.getProperties().stringPropertyNames()) {
            if (name.startsWith("hello.")) {
                printProperty(name);
            }
        }
        System.out.println("class path=" + System.getProperty("java.class.path"));
        System.out.println("working directory=" + System.getProperty("user.dir"));
        follow(args);
    }

    /** The first-run hook of an installer, named by tanager.firstRunHook. */
    public static void firstRun() {
        System.out.println("first run of the sample application");
    }

    private static void follow(String[] args) {
        for (int i = 0; i < args.length; i++) {
            if (args[i].equals("--throw")) {
                throw new IllegalStateException("thrown by the sample application");
            }
            if (i + 1 < args.length && args[i].equals("--stderr")) {
                System.err.println(args[i + 1]);
            }
            if (i + 1 < args.length && args[i].equals("--exit")) {
                System.out.flush();
                System.exit(Integer.parseInt(args[i + 1]));
            }
        }
    }

    private static void printProperty(String name) {
        String value = System.getProperty(name);
        if (value != null) {
            System.out.println("property " + name + "=" + escaped(value));
        }
    }

    private static String escaped(String text) {
        StringBuilder out = new StringBuilder();
        for (char c : text.toCharArray()) {
            if (c >= 0x20 && c < 0x7f) {
                out.append(c);
            } else {
                out.append(String.format("\\u%04x", (int) c));
            }
        }
        return out.toString();
    }
}
