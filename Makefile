# The two commands a newcomer needs:
#   make test   install what is missing, build both presets, run every test
#   make demo   run the program's main job
#   make dist   the release files in dist/: a zip and the Windows installer
.PHONY: test demo dist deps build build-native build-windows build-fuzz clean

BUILD := $(CURDIR)/build
JOBS  ?= 2

deps:
	@cmake/install-deps.sh

build-native: deps
	@cmake --preset native >/dev/null
	@cmake --build --preset native -j $(JOBS)

build-windows: deps
	@cmake --preset windows >/dev/null
	@cmake --build --preset windows -j $(JOBS)

build-fuzz: deps
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz -j $(JOBS)

build: build-native build-windows build-fuzz

# One ctest run over the three build folders gives one summary: native tests
# (sanitizers), the fuzzers over their corpora, and the Wine tests. The tests run
# one at a time: several Wine tests follow a receiver's real timing (a burst ends
# after 100 ms of silence), which a busy second core can stretch.
test: build
	@mkdir -p $(BUILD)/all
	@printf 'subdirs("%s" "%s" "%s")\n' "$(BUILD)/native" "$(BUILD)/fuzz" "$(BUILD)/windows" \
		> $(BUILD)/all/CTestTestfile.cmake
	@cd $(BUILD)/all && ctest --output-on-failure --timeout 900

# The program's main job on the bench: a virtual remote drives Vantora.exe. Its own
# Wine prefix and display (build/demo-wine); screenshots go to the manual, docs/manual/.
# make demo ARGS=--irda: the IrDA-SIR journey alone; ARGS=--interactive: you press the buttons.
DEMO_BENCH := $(BUILD)/demo-wine
demo: build-windows
	@status=0; VANTOR_BENCH_DIR=$(DEMO_BENCH) VANTOR_BENCH_LIVE=1 bench/wine-bench.sh run $(BUILD)/windows \
		$(BUILD)/windows/bin/vantor_demo.exe --docs $(CURDIR)/docs/manual $(ARGS) || status=$$?; \
	VANTOR_BENCH_DIR=$(DEMO_BENCH) bench/wine-bench.sh stop $(BUILD)/windows; exit $$status

# The release files, built with only what they need: the program, its libraries
# and the installer (makensis), copied from the windows build into dist/.
dist: deps
	@cmake --preset windows >/dev/null
	@cmake --build --preset windows -j $(JOBS) --target vantor_dist
	@rm -rf $(CURDIR)/dist && mkdir -p $(CURDIR)/dist
	@cp $(BUILD)/windows/dist/*.zip $(BUILD)/windows/dist/*-setup.exe $(CURDIR)/dist/
	@ls -l $(CURDIR)/dist

clean:
	rm -rf $(BUILD)
