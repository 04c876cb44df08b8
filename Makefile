# Builds every artifact and runs nothing:
#   build/host/kestrel-pack        the packer (host tool)
#   build/stub/kestrel-stub.exe    the launcher stub (cross-built, layout-checked)
#   build/wintest/                 the Windows-side unit tests and test programs
#   build/realjvm/home/            a Java runtime home for Wine, backed by
#                                  Debian's 32-bit Linux VM (tools/realjvm)
#   build/realjvm/home64/          the same for 64-bit callers (amd64 VM)
#   build/java/kestrel-runtime.jar the launcher's Java side (java/src)
#   build/samples/hello.jar        the sample application (samples/hello)
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

stub: host
	cmake -S stub -B $(BUILD)/stub $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release \
	    -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-i686.cmake -DKESTREL_MINGW_THREADS=win32 \
	    -DKESTREL_PACK=$(abspath $(BUILD))/host/kestrel-pack >/dev/null
	cmake --build $(BUILD)/stub -j$(JOBS)

wintest:
	cmake -S tests -B $(BUILD)/wintest $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release \
	    -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-i686.cmake -DKESTREL_MINGW_THREADS=posix >/dev/null
	cmake --build $(BUILD)/wintest -j$(JOBS)

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

.PHONY: all host stub wintest realjvm java samples clean
