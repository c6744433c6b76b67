Group
{
	name = "All Groups"
	type = "list"

	Variable
	{
		name = "Include File"
		class = "variable"
		type = "include"
		description = ""
		value = ""
		defaultValue = "%TEMPLATE_DIR%Database\Templates\base.tpl"
	}

	Group
	{
		name = "Header"
		type = "system"

		Variable
		{
			name = "ActorName"
			class = "variable"
			type = "string"
			description = "Name shown in the editor"
			value = ""
			defaultValue = ""
		}

		Variable
		{
			name = "Class"
			class = "static"
			type = "string"
			description = "Engine class of the record"
			value = ""
			defaultValue = "Creature"
		}

		Variable
		{
			name = "FileDescription"
			class = "variable"
			type = "string"
			description = "What this record is for"
			value = ""
			defaultValue = ""
		}

	}

	Group
	{
		name = "Stats"
		type = "list"

		Variable
		{
			name = "health"
			class = "variable"
			type = "int"
			description = "Hit points"
			value = ""
			defaultValue = "100"
		}

		Variable
		{
			name = "speed"
			class = "variable"
			type = "real"
			description = "Metres per second"
			value = ""
			defaultValue = "3.5"
		}

		Variable
		{
			name = "resistances"
			class = "array"
			type = "real"
			description = "Fire;Cold;Poison"
			value = ""
			defaultValue = "0;0;0"
		}

		Variable
		{
			name = "temper"
			class = "picklist"
			type = "string"
			description = "How it reacts"
			value = ""
			defaultValue = "calm;wary;hostile"
		}

		Variable
		{
			name = "Object Variable"
			class = "variable"
			type = "eqnVariable"
			description = "Level of the creature"
			value = ""
			defaultValue = "level"
		}

		Variable
		{
			name = "damageEquation"
			class = "variable"
			type = "equation"
			description = "Damage per hit"
			value = ""
			defaultValue = "level*2+5"
		}

	}

	Group
	{
		name = "Art"
		type = "list"

		Variable
		{
			name = "mesh"
			class = "variable"
			type = "file_msh"
			description = "Mesh"
			value = ""
			defaultValue = ""
		}

		Variable
		{
			name = "skin"
			class = "variable"
			type = "file_tex"
			description = "Texture"
			value = ""
			defaultValue = ""
		}

		Variable
		{
			name = "idleAnimation"
			class = "variable"
			type = "file_anm"
			description = "Idle animation"
			value = ""
			defaultValue = ""
		}

		Variable
		{
			name = "attackAnimations"
			class = "array"
			type = "file_anm"
			description = "Attack animations"
			value = ""
			defaultValue = ""
		}

		Variable
		{
			name = "shader"
			class = "variable"
			type = "file_ssh"
			description = "Shader"
			value = ""
			defaultValue = ""
		}

		Variable
		{
			name = "sounds"
			class = "array"
			type = "file_wav,mp3"
			description = "Sounds"
			value = ""
			defaultValue = ""
		}

	}

	Group
	{
		name = "Behaviour"
		type = "list"

		Variable
		{
			name = "quest"
			class = "variable"
			type = "file_qst"
			description = "Quest it takes part in"
			value = ""
			defaultValue = ""
		}

		Variable
		{
			name = "lootTable"
			class = "variable"
			type = "file_dbr"
			description = "Loot dropped"
			value = ""
			defaultValue = ""
		}

		Variable
		{
			name = "companions"
			class = "array"
			type = "file_dbr"
			description = "Records spawned with it"
			value = ""
			defaultValue = ""
		}

		Variable
		{
			name = "schemaVersion"
			class = "static"
			type = "int"
			description = "Format of this template"
			value = ""
			defaultValue = "3"
		}

	}

}

