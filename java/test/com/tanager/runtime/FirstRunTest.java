// FirstRunTest.java — the installer's first-run step: the hook class, its
// answer, and the marker file that makes the step run once.
package com.tanager.runtime;

import static org.junit.Assert.assertEquals;
import static org.junit.Assert.assertFalse;
import static org.junit.Assert.assertSame;
import static org.junit.Assert.assertTrue;
import static org.junit.Assert.fail;

import java.io.File;
import java.io.IOException;

import org.junit.After;
import org.junit.Before;
import org.junit.Rule;
import org.junit.Test;
import org.junit.rules.TemporaryFolder;

public class FirstRunTest {
    public static class StartingHook {
        static int calls;

        public static boolean firstRun() {
            ++calls;
            return true;
        }
    }

    public static class RefusingHook {
        public static boolean firstRun() {
            return false;
        }
    }

    public static class VoidHook {
        static int calls;

        public static void firstRun() {
            ++calls;
        }
    }

    public static class ThrowingHook {
        static final IllegalStateException THROWN = new IllegalStateException("hook failure");

        public static boolean firstRun() {
            throw THROWN;
        }
    }

    public static class IntegerHook {
        public static int firstRun() {
            return 1;
        }
    }

    @Rule public TemporaryFolder folder = new TemporaryFolder();
    private File marker;

    @Before
    public void createMarker() throws IOException {
        File tanager = folder.newFolder(".tanager");
        marker = new File(tanager, "firstrun");
        assertTrue(marker.createNewFile());
        System.setProperty(FirstRun.MODULE_NAME_PROPERTY, new File(folder.getRoot(), "setup.exe").getPath());
        StartingHook.calls = 0;
        VoidHook.calls = 0;
    }

    @After
    public void clearProperties() {
        System.clearProperty(FirstRun.HOOK_PROPERTY);
        System.clearProperty(FirstRun.MODULE_NAME_PROPERTY);
        System.clearProperty(FirstRun.APPLICATION_DIRECTORY_PROPERTY);
    }

    @Test
    public void withoutAHookTheApplicationStartsAndTheMarkerGoes() throws Throwable {
        assertTrue(FirstRun.firstRun());
        assertFalse(marker.exists());
    }

    @Test
    public void aHookThatLetsTheApplicationStartRunsOnce() throws Throwable {
        System.setProperty(FirstRun.HOOK_PROPERTY, StartingHook.class.getName());
        assertTrue(FirstRun.firstRun());
        assertEquals(1, StartingHook.calls);
        assertFalse(marker.exists());

        System.setProperty(FirstRun.HOOK_PROPERTY, VoidHook.class.getName());
        assertTrue(marker.createNewFile());
        assertTrue(FirstRun.firstRun());
        assertEquals(1, VoidHook.calls);
        assertFalse(marker.exists());
    }

    @Test
    public void aRefusingOrFailingHookKeepsTheMarker() throws Throwable {
        System.setProperty(FirstRun.HOOK_PROPERTY, RefusingHook.class.getName());
        assertFalse(FirstRun.firstRun());
        assertTrue(marker.exists());

        System.setProperty(FirstRun.HOOK_PROPERTY, ThrowingHook.class.getName());
        try {
            FirstRun.firstRun();
            fail("the hook's exception was swallowed");
        } catch (IllegalStateException e) {
            assertSame(ThrowingHook.THROWN, e);
        }
        assertTrue(marker.exists());
    }

    @Test
    public void unusableHooksAreReported() throws Throwable {
        for (String hook : new String[] {"com.example.MissingHook", IntegerHook.class.getName()}) {
            System.setProperty(FirstRun.HOOK_PROPERTY, hook);
            try {
                FirstRun.firstRun();
                fail("no failure for " + hook);
            } catch (ClassNotFoundException | NoSuchMethodException e) {
                assertTrue(marker.exists());
            }
        }
    }

    @Test
    public void theApplicationDirectoryPropertyPlacesTheMarker() throws Throwable {
        File other = folder.newFolder("app");
        System.setProperty(FirstRun.APPLICATION_DIRECTORY_PROPERTY, other.getPath());
        assertEquals(new File(other, ".tanager" + File.separator + "firstrun"), FirstRun.markerFile());
        System.clearProperty(FirstRun.APPLICATION_DIRECTORY_PROPERTY);
        System.clearProperty(FirstRun.MODULE_NAME_PROPERTY);
        assertEquals(null, FirstRun.markerFile());
    }
}
