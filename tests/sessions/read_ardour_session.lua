-- Loads an Ardour session with Ardour's session tool and prints what it holds, one fact a line,
-- fields separated by tabs:
--   rate    <sample rate>
--   range   <start sample> <end sample>          (the session range, when there is one)
--   route   <order> <name> <group or ""> <group rgba> <track rgba> <audio inputs> <kind>
--   region  <track name> <position> <length> <channel> <source path>
--   end
-- Arguments: the session folder and the session's name.
local folder, name = arg[1], arg[2]
if not load_session(folder, name) then
  print("error\tcould not load the session")
  return
end
print("rate\t" .. Session:nominal_sample_rate())
local range = Session:locations():session_range_location()
if range then
  print("range\t" .. range:start():samples() .. "\t" .. range:_end():samples())
end
-- Ardour's Lua interface tells a group's routes, not a route's group.
local groups = {}
for group in Session:route_groups():iter() do
  for member in group:route_list():iter() do
    groups[member:to_stateful():id():to_s()] = group
  end
end
for route in Session:get_routes():iter() do
  local info = route:presentation_info_ptr()
  local group = groups[route:to_stateful():id():to_s()]
  local kind = route:to_track():isnil() and "bus" or "track"
  print(table.concat({"route", info:order(), route:name(),
                      group and group:name() or "", group and group:rgba() or 0,
                      info:color(), route:n_inputs():n_audio(), kind}, "\t"))
  local track = route:to_track()
  if not track:isnil() then
    for region in track:playlist():region_list():iter() do
      local audio = region:to_audioregion()
      for c = 0, audio:n_channels() - 1 do
        local file = audio:source(c):to_filesource()
        print(table.concat({"region", route:name(), region:position():samples(),
                            region:length():samples(), c,
                            file:isnil() and "" or file:path()}, "\t"))
      end
    end
  end
end
print("end")
close_session()
