-- Runs a plug-in in Ardour, headless on the dummy backend. The environment names the session
-- folder (SESSION_DIR), the plug-in (PLUGIN) and, optionally, the value of its first parameter
-- (VALUE). Take 1: the dummy's noise recorded on the track "dry". Then "dry" plays that take
-- through the plug-in into "wet", which records it, and the session is saved.
-- With RELOAD set, the saved session is loaded instead, the parameter read back, the take
-- played through the plug-in once more, and the value of a program that only the plug-in's
-- chunk holds read back. The Python side compares the takes.
io.stdout:setvbuf("no")

local folder = os.getenv("SESSION_DIR")
local plugin_name = os.getenv("PLUGIN")
local value = tonumber(os.getenv("VALUE") or "")
local name = "check"
-- Kept only in the plug-in's own state: the value of its second program ("Half").
local second_program_value = 0.625
local no_group = PBD.GroupControlDisposition.NoGroup

local backend = AudioEngine:set_backend("None (Dummy)", "", "")
backend:set_device_name("Uniform White Noise")

local function tracks(session)
  local dry = session:route_by_name("dry"):to_track()
  local wet = session:route_by_name("wet"):to_track()
  return dry, wet
end

local function arm(track, on)
  track:rec_enable_control():set_value(on and 1 or 0, no_group)
end

local function select_program(processor, label)
  local plugin = processor:to_insert():plugin(0)
  assert(plugin:load_preset(plugin:preset_by_label(label)), "no program " .. label)
end

-- Waits until `done()`, however slow the machine: the engine's time, not the clock's, decides.
local function wait_for(done, what)
  for _ = 1, 6000 do
    if done() then return end
    sleep(0.05)
  end
  error("waited 300 s for " .. what)
end

-- Records `seconds` of the session's own time, which a loaded machine may take longer to play.
local function record(session, seconds)
  session:goto_start(false)
  wait_for(function() return session:transport_sample() == 0 end, "the start")
  sleep(1)
  session:maybe_enable_record(false)
  session:request_roll(ARDOUR.TransportRequestSource.TRS_UI)
  local length = seconds * session:nominal_sample_rate()
  wait_for(function() return session:transport_sample() >= length end, "the take's end")
  session:request_stop(false, false, ARDOUR.TransportRequestSource.TRS_UI)
  wait_for(function() return not session:transport_rolling() end, "the stop")
  sleep(1)
  session:disable_record(false, false)
end

if (os.getenv("RELOAD") or "") ~= "" then
  local session = load_session(folder, name)
  assert(session, "session not loaded")
  local dry, wet = tracks(session)
  local restored = ARDOUR.LuaAPI.get_processor_param(dry:nth_plugin(0), 0)
  print(string.format("restored value %.9g", restored))
  assert(restored == value, "the parameter did not come back")
  arm(wet, true)
  record(session, 4)
  print("take played again after loading")
  session:save_state("", false, false, false, false, false)
  select_program(dry:nth_plugin(0), "Half")
  local second = ARDOUR.LuaAPI.get_processor_param(dry:nth_plugin(0), 0)
  print(string.format("second program's value after loading %.9g", second))
  assert(second == second_program_value, "the plug-in's state did not come back")
  close_session()
  quit()
  return
end

local session = create_session(folder, name, 48000)
assert(session, "no session")
session:cfg():set_native_file_data_format(ARDOUR.SampleFormat.Float)
session:cfg():set_native_file_header_format(ARDOUR.HeaderFormat.WAVE)
for _, track_name in ipairs({"dry", "wet"}) do
  session:new_audio_track(2, 2, nil, 1, track_name, ARDOUR.PresentationInfo.max_order,
                          ARDOUR.TrackMode.Normal, true)
end
sleep(1) -- automatic connections happen after the tracks are made; ours come last
local dry, wet = tracks(session)
dry:input():disconnect_all(nil)
dry:output():disconnect_all(nil)
wet:input():disconnect_all(nil)
for i = 0, 1 do
  dry:input():audio(i):connect("system:capture_" .. (i + 1))
  dry:output():audio(i):connect(wet:input():audio(i):name())
end
-- Between plug-in and recording only unity gains: no panner, no fades.
dry:panner_shell():set_bypassed(true)

arm(dry, true)
record(session, 2)
arm(dry, false)
for region in dry:playlist():region_list():iter() do
  local audio = region:to_audioregion()
  audio:set_fade_in_active(false)
  audio:set_fade_out_active(false)
  -- Ardour silences the first blocks after a start; the take begins after them.
  region:set_position(Temporal.timepos_t(24000))
end

local plugin = ARDOUR.LuaAPI.new_plugin(session, plugin_name, ARDOUR.PluginType.LXVST, "")
assert(not plugin:isnil(), "plug-in not found: " .. plugin_name)
assert(dry:add_processor_by_index(plugin, 0, nil, true) == 0, "plug-in not added")
if value then
  -- The programs are the plug-in's presets in Ardour. Editing "Half" and leaving it stores
  -- the edit in that program, which only the plug-in's chunk carries.
  select_program(plugin, "Half")
  assert(ARDOUR.LuaAPI.set_processor_param(plugin, 0, second_program_value), "parameter not set")
  select_program(plugin, "Unity")
  assert(ARDOUR.LuaAPI.set_processor_param(plugin, 0, value), "parameter not set")
end
dry:monitoring_control():set_value(ARDOUR.MonitorChoice.MonitorDisk, no_group)
arm(wet, true)
record(session, 4)
arm(wet, false)
print("take played through " .. plugin_name)
session:save_state("", false, false, false, false, false)
close_session()

quit()
