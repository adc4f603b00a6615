# The two commands: `make play` and `make test`. Everything else is a step of theirs.

BUILD    ?= build
JOBS     ?= $(shell nproc)
PACKAGES := cmake g++ make pkg-config \
            libsdl2-dev libavformat-dev libavcodec-dev libavutil-dev \
            libfreetype-dev fonts-urw-base35 \
            libgtest-dev libgmock-dev libbenchmark-dev

.PHONY: all deps build play test bench sheets clean

all: build

deps:
	@missing=""; \
	for p in $(PACKAGES); do \
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

play: build
	cd $(BUILD)/game && ./valimo

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# Contact sheets of the generated data, for review: build/screens/*.png
sheets: build
	$(BUILD)/tools/valimo-gen --sheets $(BUILD)/screens

bench: build
	$(BUILD)/bench/valimo_bench

clean:
	rm -rf $(BUILD)
