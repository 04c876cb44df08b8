# Builds every artifact and runs nothing:
#   build/host/kestrel-pack        the packer (host tool)
#   build/stub/kestrel-stub.exe    the 32-bit launcher stub (cross-built, layout-checked)
#   build/stub/kestrel-stub64.exe  the 64-bit launcher stub
#   build/wintest64/, build/wintest/  the Windows-side unit tests and test
#                                  programs, 64-bit (and 32-bit where it runs)
#   build/realjvm/home/            a Java runtime home for Wine, backed by
#                                  Debian's 32-bit Linux VM (tools/realjvm)
#   build/realjvm/home64/          the same for 64-bit callers (amd64 VM)
#   build/java/kestrel-runtime.jar the launcher's Java side (java/src)
#   build/samples/hello.jar        the sample application (samples/hello)
#   build/fuzz/                    the core's fuzz targets (make fuzz only)
# The README's two commands (tools/demo.sh, tools/test.sh) install what is
# missing first and then call this.
JOBS ?= 2
# Another build directory (make BUILD=/tmp/x) keeps parallel work apart;
# the artifact paths above are those of the default.
BUILD ?= build
CMAKE_GEN := -G "Unix Makefiles"

all: host stub wintest realjvm java samples

host:
	cmake -S . -B $(BUILD)/host $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release >/dev/null
	cmake --build $(BUILD)/host -j$(JOBS)

# A cross build: $(call mingw_build,SOURCE,BUILD_DIR,ARCH,THREADS,EXTRA_OPTIONS)
define mingw_build
	cmake -S $(1) -B $(2) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release \
	    -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw.cmake \
	    -DKESTREL_MINGW_ARCH=$(3) -DKESTREL_MINGW_THREADS=$(4) $(5) >/dev/null
	cmake --build $(2) -j$(JOBS)
endef

# Both stubs land in $(BUILD)/stub: kestrel-stub.exe and kestrel-stub64.exe.
STUB_OPTIONS = -DKESTREL_PACK=$(abspath $(BUILD))/host/kestrel-pack -DKESTREL_STUB_OUTPUT_DIR=$(abspath $(BUILD))/stub
stub: host
	$(call mingw_build,stub,$(BUILD)/stub-x86,i686,win32,$(STUB_OPTIONS))
	$(call mingw_build,stub,$(BUILD)/stub-x64,x86_64,win32,$(STUB_OPTIONS))

# The Windows-side tests and test programs: 64-bit in $(BUILD)/wintest64
# always; 32-bit in $(BUILD)/wintest only where this machine can run 32-bit
# programs (tools/machine-arches.sh).
MACHINE_ARCHES := $(shell tools/machine-arches.sh)
wintest:
	$(call mingw_build,tests,$(BUILD)/wintest64,x86_64,posix,)
	$(if $(filter x86,$(MACHINE_ARCHES)),$(call mingw_build,tests,$(BUILD)/wintest,i686,posix,))

# The fuzz targets of the portable core (clang, libFuzzer, sanitizers);
# tools/fuzz.sh runs them.
fuzz:
	cmake -S tests/fuzz -B $(BUILD)/fuzz $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DCMAKE_CXX_COMPILER=clang++ >/dev/null
	cmake --build $(BUILD)/fuzz -j$(JOBS)

realjvm:
	$(MAKE) --no-print-directory -C tools/realjvm OUT=$(abspath $(BUILD))/realjvm

# Java code is compiled by the machine's JDK for Java 8 and later; the
# fixed entry date keeps a jar the same for the same sources.
# $(call java_jar,CLASSES_DIR,SOURCES) is the recipe of a jar target.
define java_jar
	rm -rf $(1)
	javac --release 8 -Xlint:all -Werror -d $(1) $(2)
	jar --create --file $@ --date=2000-01-01T00:00:00Z -C $(1) .
endef

# The launcher's Java side.
JAVA_SOURCES := $(shell find java/src -name '*.java')
java: $(BUILD)/java/kestrel-runtime.jar

$(BUILD)/java/kestrel-runtime.jar: $(JAVA_SOURCES)
	$(call java_jar,$(BUILD)/java/classes,$(JAVA_SOURCES))

SAMPLE_SOURCES := $(shell find samples/hello/src -name '*.java')
samples: $(BUILD)/samples/hello.jar

$(BUILD)/samples/hello.jar: $(SAMPLE_SOURCES)
	$(call java_jar,$(BUILD)/samples/hello-classes,$(SAMPLE_SOURCES))

clean:
	rm -rf $(BUILD)

.PHONY: all host stub wintest fuzz realjvm java samples clean
