# An example job for CGRU/Afanasy: renders a scene's frames in chunks, one foxglove-worker per task.
#
# Each task runs `foxglove-worker render` for its chunk of frames; the exit status tells Afanasy
# whether the task succeeded. The stock generic parser reads the worker's lines as they are: one
# FRAME: line per frame, and the frame's percentage first on each PROGRESS: line.
# Adjust the paths to where the repository is built and shared on the render nodes. The worker's
# working folder is ./foxglove-work in the task's folder; give tasks that share a machine and a
# folder their own --work-dir.
import af

SCENE = '/farm/scenes/animated.max'
WORKER = '/opt/moonstone/build/bin/foxglove-worker'
OUTPUT = '/farm/renders/animated'   # becomes drive R: for the scene's R:\... output names

job = af.Job('animated (Moonstone)')
block = af.Block('frames', 'generic')
# Afanasy puts the task's first frame at the first @#@ and its last frame at the second.
block.setCommand(
    WORKER + ' render ' + SCENE + ' --frames @#@-@#@ --progress lines'
    ' --drive R=' + OUTPUT + ' --jpeg-previews R:\\previews')
# Frames 1 to 24, four frames per task.
block.setNumeric(1, 24, 4, 1)
job.blocks.append(block)
job.send()
