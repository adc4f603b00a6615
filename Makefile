# The two commands: `make play` and `make test`. Everything else is a step of theirs.
SHELL := /bin/bash

BUILD    ?= build
# The same tests again under AddressSanitizer and UndefinedBehaviorSanitizer.
ASAN     ?= build-asan
# libFuzzer targets for every reader of outside data (clang).
FUZZ     ?= build-fuzz
FUZZ_SECONDS ?= 300
# Longer inputs (the generated movies) are cut to this when read as seeds.
FUZZ_MAX_LEN ?= 65536
FUZZ_TARGETS := bitmap wave level movie profiles replay
JOBS     ?= $(shell nproc)
PACKAGES := cmake g++ make pkg-config \
            libsdl2-dev libavformat-dev libavcodec-dev libavutil-dev libswscale-dev \
            libfreetype-dev zlib1g-dev fonts-urw-base35 \
            libgtest-dev libgmock-dev libbenchmark-dev \
            clang-14 libclang-rt-14-dev \
            desktop-file-utils appstream man-db dpkg-dev debhelper lintian \
            xvfb openbox
# What `make repro` and `make autopkgtest` need besides (installed by them).
REPRO_PACKAGES := reprotest diffoscope-minimal disorderfs faketime
AUTOPKGTEST_PACKAGES := autopkgtest

# make install: the layout Debian gives games, under PREFIX (and DESTDIR).
PREFIX   ?= /usr/local
DESTDIR  ?=
# make deb: dpkg-buildpackage builds a copy of the tree here and writes the
# package beside it (it always writes into the folder above the tree).
DEB      ?= $(BUILD)/deb
# make repro: reprotest's two builds and what they differ in.
REPRO    ?= $(BUILD)/repro

# The game in a browser page (make web, make serve-web, make web-test). Emscripten
# and its LLVM weigh about 800 MB: only the web targets install them.
WEB      ?= build-web
WEB_PORT ?= 8642
WEB_PACKAGES := emscripten
WEB_TEST_PACKAGES := chromium chromium-driver python3-selenium
# emcc's optimizer needs Debian's acorn, which a node from elsewhere does not find.
WEB_ENV  := NODE_PATH=/usr/share/nodejs$${NODE_PATH:+:$$NODE_PATH}

.PHONY: all deps build asan play test bench sheets screens fuzz fuzz-build fuzz-seeds fuzz-smoke soak clean \
        install uninstall deb repro autopkgtest web web-deps web-test-deps serve-web web-test

all: build

deps:
	@missing=""; \
	for p in $(or $(DEPS_PACKAGES),$(PACKAGES)); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -z "$$missing" ]; then exit 0; fi; \
	echo "Installing missing packages:$$missing"; \
	if [ "$$(id -u)" = 0 ]; then SUDO=""; \
	elif command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then SUDO="sudo"; \
	else \
	  echo "These packages are missing and I cannot install them without root. Run:"; \
	  echo "  sudo apt-get update && sudo apt-get install -y$$missing"; \
	  exit 1; \
	fi; \
	$$SUDO apt-get update -qq && DEBIAN_FRONTEND=noninteractive $$SUDO apt-get install -y -qq $$missing

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD)

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

$(ASAN)/CMakeCache.txt: | deps
	cmake -S . -B $(ASAN) -DCMAKE_BUILD_TYPE=Debug -DVALIMO_SANITIZE=ON -DVALIMO_BENCH=OFF

asan: deps $(ASAN)/CMakeCache.txt
	cmake --build $(ASAN) -j $(JOBS)

play: build
	cd $(BUILD)/game && ./valimo

test: build asan
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	cd $(ASAN) && ctest --output-on-failure -j $(JOBS)
	$(MAKE) --no-print-directory fuzz-smoke
	$(MAKE) --no-print-directory deb DEB_BUILD_OPTIONS=nocheck
	$(MAKE) --no-print-directory web-test

# The long run of random play (the test suite runs a tenth of it).
SOAK_FRAMES ?= 100000
soak: build
	VALIMO_SOAK_FRAMES=$(SOAK_FRAMES) $(BUILD)/tests/valimo_tests --gtest_filter='Soak.*'

# Contact sheets of the generated data, for review: build/screens/*.png
sheets: build
	$(BUILD)/tools/valimo-gen --levels levels --sheets $(BUILD)/screens

# Every screen of the running game, driven headless: build/screens/NN-name.png
screens: build
	$(BUILD)/tests/valimo-screens $(BUILD)/screens

bench: build
	$(BUILD)/bench/valimo_bench
	$(BUILD)/bench/valimo_bench_sdl

$(FUZZ)/CMakeCache.txt: | deps
	cmake -S . -B $(FUZZ) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVALIMO_FUZZ=ON \
	  -DCMAKE_CXX_COMPILER=clang++-14 -DVALIMO_BENCH=OFF

fuzz-build: deps $(FUZZ)/CMakeCache.txt
	cmake --build $(FUZZ) -j $(JOBS)

# Seeds from the generated game, one directory per target (the small pictures only:
# a big seed slows every run of its target).
fuzz-seeds: build
	@rm -rf $(BUILD)/fuzz-seeds && mkdir -p $(addprefix $(BUILD)/fuzz-seeds/,bitmap wave level movie profiles replay)
	@find $(BUILD)/game -maxdepth 2 -name '*.bmp' -size -32k -exec cp {} $(BUILD)/fuzz-seeds/bitmap/ \;
	@cp $(BUILD)/game/data/*.wav $(BUILD)/fuzz-seeds/wave/
	@cp $(BUILD)/game/levels/*.lev $(BUILD)/fuzz-seeds/level/
	@cp $(BUILD)/game/*.avi $(BUILD)/fuzz-seeds/movie/
	@cp $(BUILD)/game/prefs.dat $(BUILD)/fuzz-seeds/profiles/
	@cp tests/replays/*.vrp $(BUILD)/fuzz-seeds/replay/ 2>/dev/null || true

# Each target runs FUZZ_SECONDS from the kept seeds (and the generated data when it
# exists); paths are absolute because the game moves the current directory. An
# input that crashes a reader lands in fuzz/regressions/, which the
# normal suite replays.
fuzz: fuzz-build fuzz-seeds
	@for t in $(FUZZ_TARGETS); do \
	  mkdir -p $(FUZZ)/corpus/$$t fuzz/regressions/$$t; \
	  echo "== fuzzing $$t for $(FUZZ_SECONDS) s"; \
	  $(FUZZ)/fuzz/fuzz_$$t $(CURDIR)/$(FUZZ)/corpus/$$t $(CURDIR)/fuzz/corpus/$$t \
	    $$(ls -d $(CURDIR)/$(BUILD)/fuzz-seeds/$$t 2>/dev/null) \
	    -dict=$(CURDIR)/fuzz/dict/$$t.dict -max_total_time=$(FUZZ_SECONDS) -max_len=$(FUZZ_MAX_LEN) -timeout=10 -rss_limit_mb=2048 \
	    -artifact_prefix=$(CURDIR)/fuzz/regressions/$$t/ -print_final_stats=1 2>&1 | \
	    grep -E "^(stat::number_of_executed_units|stat::peak_rss_mb|==[0-9]+==ERROR|SUMMARY|artifact_prefix)" ; \
	  test $${PIPESTATUS[0]} -eq 0 || exit 1; \
	done

fuzz-smoke:
	$(MAKE) fuzz FUZZ_SECONDS=30

# The manifest CMake writes is what `make uninstall` removes again.
install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

uninstall:
	@manifest=$(BUILD)/install_manifest.txt; \
	if [ ! -f $$manifest ]; then echo "Nothing to uninstall: no $$manifest (make install writes it)."; exit 1; fi; \
	xargs -r -d '\n' rm -f -- < $$manifest; \
	for d in $$(sed -n 's|\(/share/games/valimo\)/.*|\1|p' $$manifest | sort -u); do \
	  [ -d "$$d" ] && find "$$d" -depth -type d -empty -delete; \
	done; \
	echo "Removed the $$(wc -l < $$manifest) files listed in $$manifest."; \
	rm -f $$manifest

# The package, built by Debian's own tools from debian/ in a copy of the tree
# (what git tracks, plus new files it does not ignore; outside git, all but the
# build folders), so that the build folders never go into it. SOURCE_DATE_EPOCH, when unset, is the changelog's
# date; DEB_BUILD_OPTIONS=nocheck leaves out the tests (make test has run them).
DEB_VERSION = $(shell dpkg-parsechangelog -S Version)
DEB_ARCH    = $(shell dpkg-architecture -q DEB_HOST_ARCH)
define copy-tree
	rm -rf $(1) && mkdir -p $(1)
	if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then \
	  git ls-files -z --cached --others --exclude-standard; \
	else find . -mindepth 1 \( -path './build*' -o -name .git \) -prune -o ! -type d -print0; fi | \
	  while IFS= read -r -d '' f; do [ -e "$$f" ] && printf '%s\0' "$$f"; done | \
	  tar --null -T - -cf - | tar -xf - -C $(1)
endef

deb: deps
	$(call copy-tree,$(DEB)/valimo-$(DEB_VERSION))
	cd $(DEB)/valimo-$(DEB_VERSION) && \
	  DEB_BUILD_OPTIONS="parallel=$(JOBS) $(DEB_BUILD_OPTIONS)" dpkg-buildpackage -us -uc -b
	lintian --fail-on error,warning --info $(DEB)/valimo_$(DEB_VERSION)_$(DEB_ARCH).changes
	cp $(DEB)/valimo_$(DEB_VERSION)_$(DEB_ARCH).deb $(BUILD)/
	@echo "Package: $(BUILD)/valimo_$(DEB_VERSION)_$(DEB_ARCH).deb"

# Two package builds that differ in everything reprotest varies (folder, time,
# umask, locale, time zone, host name, file order, ...) but the user, which
# needs a second account; their .deb must be the same bytes (diffoscope shows
# what differs, in $(REPRO)/out).
repro: deps
	$(MAKE) --no-print-directory deps DEPS_PACKAGES="$(REPRO_PACKAGES)"
	$(call copy-tree,$(REPRO)/valimo-$(DEB_VERSION))
	cd $(REPRO) && rm -rf out && \
	  reprotest --verbose --vary=-user_group --min-cpus=$(JOBS) --store-dir=out \
	    --build-command='DEB_BUILD_OPTIONS="nocheck parallel=$(JOBS)" dpkg-buildpackage -us -uc -b' \
	    valimo-$(DEB_VERSION) '../*.deb' -- null

# The package's own tests (debian/tests) against the built .deb, installed on
# this machine: autopkgtest's null runner needs no virtual machine but root.
autopkgtest: deb
	$(MAKE) --no-print-directory deps DEPS_PACKAGES="$(AUTOPKGTEST_PACKAGES)"
	autopkgtest $(BUILD)/valimo_$(DEB_VERSION)_$(DEB_ARCH).deb ./ -- null

web-deps:
	@$(MAKE) --no-print-directory deps PACKAGES="$(WEB_PACKAGES)"

web-test-deps: web-deps
	@$(MAKE) --no-print-directory deps PACKAGES="$(WEB_TEST_PACKAGES)"

# The page in $(WEB): index.html, valimo.js, valimo.wasm and valimo.data (files.json
# records their sizes and hashes, which the page checks), the game
# folder of the native build packed without the program and the player's files.
web: web-deps deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) --target gamedata -j $(JOBS)
	rm -rf $(WEB)/pack && mkdir -p $(WEB)/pack
	cd $(BUILD)/game && find . -type f ! -perm -u+x ! -name 'prefs.dat*' ! -name 'valimo.log' ! -name 'valimo.lock' \
	  -exec cp -p --parents {} $(CURDIR)/$(WEB)/pack/ \;
	$(WEB_ENV) emcmake cmake -S . -B $(WEB) -DVALIMO_WEB=ON -DCMAKE_BUILD_TYPE=Release \
	  -DVALIMO_WEB_DATA=$(CURDIR)/$(WEB)/pack >/dev/null
	$(WEB_ENV) cmake --build $(WEB) -j $(JOBS)
	@echo "The page is in $(WEB)/ ($$(du -cb $(WEB)/index.html $(WEB)/valimo.js $(WEB)/valimo.wasm $(WEB)/valimo.data | tail -1 | cut -f1) bytes); make serve-web serves it."

serve-web: web
	@echo "Valimo: open http://127.0.0.1:$(WEB_PORT)/ in a browser (Ctrl+C ends)"
	cd $(WEB) && python3 -m http.server $(WEB_PORT) --bind 127.0.0.1

# The page played in headless Chromium, its screens against the headless host's.
web-test: web web-test-deps
	cmake --build $(BUILD) --target valimo-web-screens -j $(JOBS)
	/usr/bin/python3 tests/web/web_test.py --page $(WEB) --screens $(BUILD)/tests/valimo-web-screens

clean:
	rm -rf $(BUILD) $(ASAN) $(FUZZ) $(WEB)
