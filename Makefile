# Dorvane: set-up, build, demo and tests in one place.
#   make run     install what is missing, build the two programs, create the demo portfolios
#                and show them
#   make test    install what is missing, build everything with warnings as errors, run every test
#                but the attack
#   make attack  build everything and run the attack on dorvane-cli (failed file calls, kills,
#                planted links and FIFOs; a few minutes)
#   make install PREFIX=/usr/local   install the programs, manual, man pages, desktop entry,
#                icon, metainfo and bash completion (DESTDIR is honoured)
#   make package build the Debian package build/dorvane_<version>_<arch>.deb
#   make bench   build and run the benchmarks
#   make format  format the sources with clang-format
#   make clean   remove the build directory (the demo portfolios stay)

BUILD_DIR ?= build
DEMO_DIR ?= demo
JOBS ?= 2
BUILD_TYPE ?= Release
PREFIX ?= /usr/local
CLI := $(BUILD_DIR)/bin/dorvane-cli
APP := $(BUILD_DIR)/bin/dorvane

# System packages the build needs (Debian / Ubuntu names).
PACKAGES := build-essential cmake ninja-build g++ clang clang-format libgtest-dev libgmock-dev \
            googletest libbenchmark-dev qt6-base-dev libqt6svg6 libgl-dev xvfb xauth \
            nlohmann-json3-dev dpkg-dev file desktop-file-utils appstream man-db
# What the programs need to run, built for "make run", "make install" and "make package"; the
# manual page and completion script of dorvane-cli are made by dorvane-cli itself.
PROGRAM_TARGETS := dorvane dorvane-cli dorvane-chart
INSTALL_TARGETS := $(PROGRAM_TARGETS) dorvane_cli_docs

SOURCE_DIRS := src tests bench fuzz

.PHONY: run test attack bench format clean install-deps configure build demo show install package

run: install-deps build demo show

test: install-deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DDORVANE_WERROR=ON
	cmake --build $(BUILD_DIR) -j $(JOBS)
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) -LE attack

# The attack runs thousands of dorvane-cli processes; it is built only on Linux with glibc.
attack: install-deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DDORVANE_WERROR=ON
	cmake --build $(BUILD_DIR) -j $(JOBS)
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS) -L attack

# Installs only the packages that are missing, through sudo when not root.
install-deps:
	@missing=""; \
	for p in $(PACKAGES); do \
	  dpkg -s $$p 2>/dev/null | grep -q '^Status: install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -z "$$missing" ]; then \
	  echo "All system packages are installed."; \
	elif ! command -v apt-get >/dev/null 2>&1; then \
	  echo "Missing packages:$$missing (no apt-get here: install them by hand)"; \
	else \
	  echo "Installing:$$missing"; \
	  if [ "$$(id -u)" = 0 ]; then sudo=""; else sudo="sudo"; fi; \
	  $$sudo apt-get update && \
	  $$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $$missing; \
	fi

configure: install-deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target $(PROGRAM_TARGETS)

install: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target $(INSTALL_TARGETS)
	cmake --install $(BUILD_DIR) --prefix "$(PREFIX)"

package: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target $(INSTALL_TARGETS)
	cd $(BUILD_DIR) && cpack -G DEB

# The demo is created once; later runs keep it, with whatever edits were made to it.
demo: build
	@if [ -e $(DEMO_DIR)/Stocks/MASTER ]; then \
	  echo "Demo portfolios already in $(DEMO_DIR)/"; \
	else \
	  $(CLI) make-demo $(DEMO_DIR); \
	fi

show: demo
	@if [ -x $(APP) ] && [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  echo "Starting Dorvane on $(DEMO_DIR)/"; \
	  cd $(DEMO_DIR) && "$(abspath $(APP))" "$(abspath $(DEMO_DIR))"; \
	else \
	  if [ -x $(APP) ]; then echo "No display (DISPLAY and WAYLAND_DISPLAY are empty): showing the demo through dorvane-cli."; fi; \
	  echo; echo "== dorvane-cli symbols $(DEMO_DIR)/Stocks"; \
	  $(CLI) symbols $(DEMO_DIR)/Stocks; \
	  echo; echo "== dorvane-cli quotes $(DEMO_DIR)/Stocks HRBR (newest 15 of them)"; \
	  $(CLI) quotes $(DEMO_DIR)/Stocks HRBR | head -n 15; \
	  echo; echo "== dorvane-cli facts $(DEMO_DIR)/Futures US"; \
	  $(CLI) facts $(DEMO_DIR)/Futures US; \
	  echo; echo "More: $(CLI) --help"; \
	fi

bench: install-deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DDORVANE_BUILD_BENCH=ON
	cmake --build $(BUILD_DIR) -j $(JOBS)
	@for b in $(BUILD_DIR)/bin/*_bench; do \
	  [ -x "$$b" ] || continue; echo "== $$b"; QT_QPA_PLATFORM=offscreen "$$b" || exit 1; \
	done

format:
	find $(SOURCE_DIRS) \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 -r clang-format -i

clean:
	rm -rf $(BUILD_DIR)
