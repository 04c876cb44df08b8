import java.io.BufferedReader;
import java.io.FileReader;
import java.io.IOException;

/** The Java half of the runtime bridge's checks: tools/realjvm's
 *  bridge-check.exe calls its static methods across the bridge, and
 *  bare-launch.exe calls its main. */
public class BridgeProbe {
    /** A file the tests may put in the working directory. */
    private static final String RELATIVE_FILE = "bridge-probe.txt";

    private static final String[] PROPERTIES = {
        "java.class.path", "java.library.path", "user.dir", "java.io.tmpdir", "probe.text", "probe.path",
    };

    /** Every argument as received, for checks of the calling conventions. */
    public static String describe(int number, long wide, double fraction, boolean flag, String text) {
        return number + "|" + wide + "|" + fraction + "|" + flag + "|" + text;
    }

    public static void fail() {
        throw new IllegalStateException("thrown for the bridge check");
    }

    /** How deep this thread can recurse before its stack overflows. */
    public static int depth() {
        return recurse(0);
    }

    private static int recurse(int level) {
        try {
            return recurse(level + 1);
        } catch (StackOverflowError e) {
            return level;
        }
    }

    public static void printProperties() {
        for (String name : PROPERTIES) {
            System.out.println(name + "=" + System.getProperty(name));
        }
        System.out.println("boot loader finds BridgeProbe=" + bootLoaderFindsProbe());
        System.out.println("relative file=" + relativeFileLine());
    }

    /** The first line of RELATIVE_FILE opened by its relative name, as the
     *  operating system resolves it, or "(none)". */
    private static String relativeFileLine() {
        try (BufferedReader reader = new BufferedReader(new FileReader(RELATIVE_FILE))) {
            return reader.readLine();
        } catch (IOException e) {
            return "(none)";
        }
    }

    /** True when the boot class path (appended to with -Xbootclasspath/a:)
     *  holds this class too. */
    private static boolean bootLoaderFindsProbe() {
        try {
            Class.forName("BridgeProbe", false, null);
            return true;
        } catch (ClassNotFoundException e) {
            return false;
        }
    }

    /** Prints its arguments; "exit N" ends the VM with N, "throw" throws. */
    public static void main(String[] args) {
        System.out.println("arguments: " + String.join(" ", args));
        if (args.length == 2 && args[0].equals("exit")) {
            System.exit(Integer.parseInt(args[1]));
        }
        if (args.length == 1 && args[0].equals("throw")) {
            fail();
        }
    }
}
