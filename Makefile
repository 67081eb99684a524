# Front door: `make run`, `make test`, `make bench`, `make package`.
BUILD      ?= build
TESTBUILD  ?= build/test
BENCHBUILD ?= build/release
PACKAGEBUILD ?= build/package
FUZZBUILD  ?= build/fuzz
# `make fuzz` runs the fuzz target this long (seconds); `make test` runs it for a minute.
FUZZ_SECONDS ?= 600
JOBS       ?= $(shell nproc)
# `make run FORMAT=access` starts the program on an Access copy of the sample register.
FORMAT     ?= sqlite
SAMPLE      = $(BUILD)/sample$(if $(filter access,$(FORMAT)),-access,)

DEBIAN_PACKAGES = build-essential cmake pkg-config qt6-base-dev libsqlite3-dev \
  libproj-dev proj-data mdbtools mdbtools-dev libchm-dev libseccomp-dev fp-utils fonts-liberation \
  xvfb xauth x11-utils xdotool imagemagick poppler-utils
# For the fuzz target: clang and its libFuzzer runtime.
FUZZ_PACKAGES = clang libclang-rt-14-dev
# For building the Debian package and checking it (the install test builds one too).
PACKAGE_PACKAGES = dpkg-dev fakeroot lintian desktop-file-utils appstream
# For the test that prints through a real CUPS queue (installed without their recommendations),
# and Python, whose csv and json modules read the exported files back.
PRINT_PACKAGES = cups cups-daemon cups-client printer-driver-cups-pdf ghostscript python3

.PHONY: run test bench package fuzz deps test-deps package-deps fuzz-deps build sample clean

deps:
	@$(call install,$(DEBIAN_PACKAGES),)

package-deps: deps
	@$(call install,$(PACKAGE_PACKAGES),)

fuzz-deps: deps
	@$(call install,$(FUZZ_PACKAGES),)

test-deps: package-deps fuzz-deps
	@$(call install,$(PRINT_PACKAGES),--no-install-recommends)
	@command -v node >/dev/null 2>&1 || { $(call install,nodejs,); }
	@command -v npm >/dev/null 2>&1 || { $(call install,npm,); }

# Installs the packages of $(1) that dpkg does not find, with apt-get options $(2).
define install
missing=""; for p in $(1); do dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
if [ -n "$$missing" ]; then \
  echo "Installing:$$missing"; \
  if [ "$$(id -u)" = 0 ]; then SUDO=""; else SUDO=sudo; fi; \
  $$SUDO apt-get update -qq && DEBIAN_FRONTEND=noninteractive $$SUDO apt-get install -y -qq $(2) $$missing; \
fi
endef

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(BUILD) -j $(JOBS)

sample: build
	@mkdir -p $(SAMPLE)
	@[ -f $(SAMPLE)/KORVA.mdb ] || $(BUILD)/orvane-make-register --format $(FORMAT) --out $(SAMPLE)/KORVA.mdb
	@[ -f $(SAMPLE)/OrvaneZaru.chm ] || cp $(BUILD)/OrvaneZaru.chm $(SAMPLE)/OrvaneZaru.chm

run: sample
	cd $(SAMPLE) && $(abspath $(BUILD))/orvane

test: test-deps
	cmake -S . -B $(TESTBUILD) -DCMAKE_BUILD_TYPE=Debug -DORVANE_SANITIZE=ON >/dev/null
	cd $(TESTBUILD)/node && npm ci --no-audit --no-fund --loglevel=error
	cmake --build $(TESTBUILD) -j $(JOBS)
	cd $(TESTBUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)
	$(MAKE) --no-print-directory fuzz FUZZ_SECONDS=60

# The readers' decoding under libFuzzer for FUZZ_SECONDS, from seeds made by
# the generator and the help's sources; what it finds lands in $(FUZZBUILD)/findings.
fuzz: fuzz-deps
	CC=clang CXX=clang++ cmake -S fuzz -B $(FUZZBUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(FUZZBUILD) -j $(JOBS)
	@mkdir -p $(FUZZBUILD)/seeds $(FUZZBUILD)/corpus $(FUZZBUILD)/findings
	@[ -f $(FUZZBUILD)/seed.mdb ] || $(FUZZBUILD)/orvane-fuzz-make-register --format access --scale 0.0005 --out $(FUZZBUILD)/seed.mdb
	@{ printf '\000'; cat $(FUZZBUILD)/seed.mdb; } > $(FUZZBUILD)/seeds/register.mdb
	@# a real Access file with dates, when the shared test data is beside the checkout
	@if [ -f ../shared/testdata/DateTestDatabase.mdb ]; then \
	  { printf '\000'; cat ../shared/testdata/DateTestDatabase.mdb; } > $(FUZZBUILD)/seeds/datetest.mdb; fi
	@for f in resources/help/*.html resources/help/*.hhc resources/help/*.hhk; do \
	  { printf '\001'; cat $$f; } > $(FUZZBUILD)/seeds/help-$$(basename $$f); done
	cd $(FUZZBUILD) && ASAN_OPTIONS=detect_leaks=1 ./orvane-fuzz -max_total_time=$(FUZZ_SECONDS) -timeout=20 \
	  -rss_limit_mb=2048 -max_len=1048576 -artifact_prefix=findings/ -print_final_stats=1 corpus seeds
bench: deps
	cmake -S . -B $(BENCHBUILD) -DCMAKE_BUILD_TYPE=Release >/dev/null
	cmake --build $(BENCHBUILD) -j $(JOBS)
	@if [ -x $(BENCHBUILD)/bench/orvane-bench ]; then cd $(BENCHBUILD) && QT_QPA_PLATFORM=offscreen ./bench/orvane-bench; \
	else echo "no benchmarks built"; fi

# The Debian package, built with Debian's hardening flags and checked with
# lintian, desktop-file-validate and appstreamcli; it lands in $(PACKAGEBUILD).
package: package-deps
	DEB_BUILD_MAINT_OPTIONS=hardening=+all; export DEB_BUILD_MAINT_OPTIONS; \
	cmake -S . -B $(PACKAGEBUILD) -DCMAKE_BUILD_TYPE=Release -DORVANE_BUILD_TESTS=OFF \
	  -DCMAKE_C_FLAGS="$$(dpkg-buildflags --get CFLAGS) $$(dpkg-buildflags --get CPPFLAGS)" \
	  -DCMAKE_CXX_FLAGS="$$(dpkg-buildflags --get CXXFLAGS) $$(dpkg-buildflags --get CPPFLAGS)" \
	  -DCMAKE_EXE_LINKER_FLAGS="$$(dpkg-buildflags --get LDFLAGS)" >/dev/null
	cmake --build $(PACKAGEBUILD) -j $(JOBS)
	cd $(PACKAGEBUILD) && cpack -G DEB
	desktop-file-validate packaging/nz.orvane.Zaru.desktop
	appstreamcli validate --no-net --explain packaging/nz.orvane.Zaru.metainfo.xml
	lintian --fail-on error $(PACKAGEBUILD)/orvane-zaru_*.deb
	@ls -l $(PACKAGEBUILD)/orvane-zaru_*.deb

clean:
	rm -rf $(BUILD)
