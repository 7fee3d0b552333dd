# The two commands a newcomer needs:
#   make test   install what is missing, build both presets, run every test
#   make demo   run the program's main job
.PHONY: test demo deps build build-native build-windows build-fuzz clean

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
# (sanitizers), the fuzzers over their corpora, and the Wine tests, which hold
# a lock on the bench so they run one at a time.
test: build
	@mkdir -p $(BUILD)/all
	@printf 'subdirs("%s" "%s" "%s")\n' "$(BUILD)/native" "$(BUILD)/fuzz" "$(BUILD)/windows" \
		> $(BUILD)/all/CTestTestfile.cmake
	@cd $(BUILD)/all && ctest --output-on-failure -j $(JOBS) --timeout 900

demo:
	@echo "make demo: the program Vantora does not exist yet; it arrives with the main window."
	@exit 1

clean:
	rm -rf $(BUILD)
