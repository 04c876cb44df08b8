// WinLauncherTest.java — the entry class: argument layout, log files, main
// class lookup and the application's own exceptions.
package com.kestrel.runtime;

import static org.junit.Assert.assertArrayEquals;
import static org.junit.Assert.assertEquals;
import static org.junit.Assert.assertNull;
import static org.junit.Assert.assertSame;
import static org.junit.Assert.assertTrue;
import static org.junit.Assert.fail;

import java.io.ByteArrayOutputStream;
import java.io.File;
import java.io.IOException;
import java.io.PrintStream;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.util.ArrayList;
import java.util.Collections;
import java.util.List;

import org.junit.After;
import org.junit.Before;
import org.junit.Rule;
import org.junit.Test;
import org.junit.rules.TemporaryFolder;

public class WinLauncherTest {
    /** A main class that records its arguments and writes to both streams. */
    public static class RecordingMain {
        static String[] received;

        public static void main(String[] args) {
            received = args;
            System.out.println("to out");
            System.err.println("to err");
        }
    }

    public static class ThrowingMain {
        static final IllegalStateException THROWN = new IllegalStateException("application failure");

        public static void main(String[] args) {
            throw THROWN;
        }
    }

    public static class InstanceMain {
        public void main(String[] args) {}
    }

    public static class NoMain {}

    @Rule public TemporaryFolder folder = new TemporaryFolder();

    private final PrintStream originalOut = System.out;
    private final PrintStream originalErr = System.err;
    private final ByteArrayOutputStream capturedErr = new ByteArrayOutputStream();
    private final PrintStream capturedOut = new PrintStream(new ByteArrayOutputStream(), true);

    @Before
    public void captureStreams() {
        RecordingMain.received = null;
        System.setErr(new PrintStream(capturedErr, true));
        System.setOut(capturedOut);
    }

    @After
    public void restoreStreams() {
        System.setOut(originalOut);
        System.setErr(originalErr);
    }

    private static String[] arguments(String mainClass, String errLog, String outLog, String verbose,
            String... application) {
        String[] fixed = {"false", mainClass, errLog, outLog, verbose};
        String[] all = new String[fixed.length + application.length];
        System.arraycopy(fixed, 0, all, 0, fixed.length);
        System.arraycopy(application, 0, all, fixed.length, application.length);
        return all;
    }

    private static String read(File file) throws IOException {
        return new String(Files.readAllBytes(file.toPath()), StandardCharsets.UTF_8);
    }

    @Test
    public void callsTheMainClassWithTheArgumentsBehindTheFixedFive() throws Throwable {
        WinLauncher.main(arguments(RecordingMain.class.getName(), "", "", "false", "a", "", "b c"));
        assertArrayEquals(new String[] {"a", "", "b c"}, RecordingMain.received);
        WinLauncher.main(arguments(RecordingMain.class.getName(), "", "", "false"));
        assertArrayEquals(new String[0], RecordingMain.received);
        // Without the verbose flag nothing of the launcher's own is printed.
        String line = "to err" + System.lineSeparator();
        assertEquals(line + line, capturedErr.toString());
    }

    @Test
    public void logFilesAreCreatedAndAppendedTo() throws Throwable {
        File errLog = new File(folder.getRoot(), "error.log");
        File outLog = folder.newFile("output.log");
        Files.write(outLog.toPath(), "earlier\n".getBytes(StandardCharsets.UTF_8));
        WinLauncher.main(arguments(RecordingMain.class.getName(), errLog.getPath(), outLog.getPath(), "false"));
        System.out.flush();
        assertEquals("to err" + System.lineSeparator(), read(errLog));
        assertEquals("earlier\nto out" + System.lineSeparator(), read(outLog));
    }

    @Test
    public void aLogFileThatCannotBeOpenedKeepsTheStreamAndSaysSo() throws Throwable {
        String directory = folder.getRoot().getPath();
        WinLauncher.main(arguments(RecordingMain.class.getName(), directory, "", "false"));
        String err = capturedErr.toString();
        assertTrue(err, err.startsWith("kestrel: cannot open " + directory + " for standard error"));
        assertTrue(err, err.endsWith("to err" + System.lineSeparator()));
        assertSame(capturedOut, System.out);
    }

    @Test
    public void verboseFlagReportsEachStep() throws Throwable {
        File outLog = new File(folder.getRoot(), "out.log");
        WinLauncher.main(arguments(RecordingMain.class.getName(), "", outLog.getPath(), "true", "x"));
        String err = capturedErr.toString();
        assertTrue(err, err.contains("kestrel: standard output goes to " + outLog.getPath()));
        assertTrue(err, err.contains("kestrel: starting " + RecordingMain.class.getName()
                + " (windowed: false) with 1 argument(s)"));
    }

    @Test
    public void mainClassProblemsAreReportedByName() throws Throwable {
        expectLaunchFailure("com.example.Missing", "main class com.example.Missing could not be loaded");
        expectLaunchFailure("", "no main class is configured");
        expectLaunchFailure(NoMain.class.getName(), "has no method public static void main(String[])");
        expectLaunchFailure(InstanceMain.class.getName(), "has no method public static void main(String[])");
        assertNull(RecordingMain.received);
    }

    private static void expectLaunchFailure(String mainClass, String message) throws Throwable {
        try {
            WinLauncher.main(arguments(mainClass, "", "", "false"));
            fail("no failure for " + mainClass);
        } catch (WinLauncher.LaunchException e) {
            assertTrue(e.getMessage(), e.getMessage().contains(message));
        }
    }

    @Test
    public void theApplicationsOwnExceptionGoesToTheThreadsHandlerThenEndsTheStart() throws Throwable {
        Thread current = Thread.currentThread();
        Thread.UncaughtExceptionHandler previous = current.getUncaughtExceptionHandler();
        List<Throwable> handled = new ArrayList<>();
        current.setUncaughtExceptionHandler((thread, thrown) -> {
            assertSame(current, thread);
            handled.add(thrown);
        });
        try {
            WinLauncher.main(arguments(ThrowingMain.class.getName(), "", "", "false"));
            fail("the application's exception was swallowed");
        } catch (WinLauncher.ApplicationFailed e) {
            assertSame(ThrowingMain.THROWN, e.getCause());
            assertEquals(0, e.getStackTrace().length);
        } finally {
            current.setUncaughtExceptionHandler(previous);
        }
        assertEquals(Collections.singletonList(ThrowingMain.THROWN), handled);
    }

    @Test
    public void withoutAHandlerOfItsOwnTheTraceIsPrintedAsJavaPrintsIt() throws Throwable {
        try {
            WinLauncher.main(arguments(ThrowingMain.class.getName(), "", "", "false"));
            fail("the application's exception was swallowed");
        } catch (WinLauncher.ApplicationFailed expected) {
            // reported below
        }
        String err = capturedErr.toString();
        String name = Thread.currentThread().getName();
        assertTrue(err, err.startsWith("Exception in thread \"" + name + "\" java.lang.IllegalStateException: "
                + "application failure" + System.lineSeparator() + "\tat "));
    }

    @Test(expected = IllegalArgumentException.class)
    public void fewerThanFiveArgumentsAreRefused() throws Throwable {
        WinLauncher.main(new String[] {"false", RecordingMain.class.getName(), "", ""});
    }
}
